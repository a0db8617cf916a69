#include "FastThEncoder.h"
#include "BlockExpectations.h"
#include "Etc2Block.h"
#include "Etc2ModeBits.h"
#include "TestPictures.h"

#include <gtest/gtest.h>

#include <vector>

using codectest::makeBlock;
using Texel = std::array<int, 4>;

namespace {

long decodedError(const etc::ThParams& params, const etc::PixelBlock& source)
{
    etc::PixelBlock decoded;
    etc::decodeEtc2Block(etc::packThMode(params), decoded);
    return etc::rgbBlockError(decoded, source, nullptr);
}

TEST(FastThEncoder, EveryKernelGivesTheSameBlockWithItsTrueError)
{
    const std::vector<etc::PixelBlock> blocks = codectest::variedBlocks();
    for (std::size_t b = 0; b < blocks.size(); ++b) {
        const etc::ThCandidate portable = etc::encodeThModesFast(blocks[b], etc::PaletteKernel::Portable);
        // The reported error is the decoded block's.
        EXPECT_EQ(portable.error, decodedError(portable.params, blocks[b])) << "block " << b;
        for (etc::PaletteKernel kernel : etc::availablePaletteKernels()) {
            EXPECT_EQ(etc::packThMode(etc::encodeThModesFast(blocks[b], kernel).params),
                      etc::packThMode(portable.params))
                << etc::paletteKernelName(kernel) << ", block " << b;
        }
    }
}

TEST(FastThEncoder, TwoColourPatternsComeOutExact)
{
    // Colours on the 4-bit grid (multiples of 17), interleaved so that no half of a subblock
    // block holds one colour alone.
    const Texel one{204, 34, 34, 255};
    const Texel two{17, 51, 221, 255};
    const etc::PixelBlock checker = makeBlock([&](int x, int y) { return (x + y) % 2 == 0 ? one : two; });
    const etc::PixelBlock sparse = makeBlock([&](int x, int y) { return x == y ? one : two; });
    for (const etc::PixelBlock& block : {checker, sparse}) {
        const etc::ThParams p = etc::encodeThModesFast(block, etc::fastestPaletteKernel()).params;
        EXPECT_EQ(decodedError(p, block), 0);
    }
}

TEST(FastThEncoder, TwoTightClustersStayClose)
{
    // Two clusters of colours off the grid: each texel lands within a few steps of its own.
    const etc::PixelBlock block = makeBlock([](int x, int y) {
        const int wobble = (x * 7 + y * 3) % 5 - 2;
        return y % 2 == 0 ? Texel{60 + wobble, 200 - wobble, 90, 255} : Texel{230, 120 + wobble, 30 - wobble, 255};
    });
    const etc::ThParams p = etc::encodeThModesFast(block, etc::fastestPaletteKernel()).params;
    const std::uint64_t word = etc::packThMode(p);
    const etc::Etc2Mode mode = etc::detectEtc2Mode(word, false);
    EXPECT_TRUE(mode == etc::Etc2Mode::T || mode == etc::Etc2Mode::H);
    // Within 8 of the source per channel on average.
    EXPECT_LE(decodedError(p, block), 16 * 3 * 64);
}

} // namespace
