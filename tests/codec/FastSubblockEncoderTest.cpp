#include "FastSubblockEncoder.h"
#include "BlockExpectations.h"
#include "Etc1Encoder.h"
#include "TestPictures.h"

#include <gtest/gtest.h>

#include <vector>

using codectest::makeBlock;
using Texel = std::array<int, 4>;

namespace {

long decodedError(std::uint64_t word, const etc::PixelBlock& source)
{
    etc::PixelBlock decoded;
    etc::decodeEtc1Block(word, decoded);
    return etc::rgbBlockError(decoded, source, nullptr);
}

std::uint64_t fastWord(const etc::PixelBlock& block, etc::PaletteKernel kernel)
{
    return etc::packSubblockMode(etc::encodeSubblockModesFast(block, kernel).params);
}

TEST(FastSubblockEncoder, EveryKernelGivesTheSameBlock)
{
    const std::vector<etc::PixelBlock> blocks = codectest::variedBlocks();
    for (std::size_t b = 0; b < blocks.size(); ++b) {
        const std::uint64_t portable = fastWord(blocks[b], etc::PaletteKernel::Portable);
        for (etc::PaletteKernel kernel : etc::availablePaletteKernels()) {
            EXPECT_EQ(fastWord(blocks[b], kernel), portable) << etc::paletteKernelName(kernel) << ", block " << b;
        }
    }
}

TEST(FastSubblockEncoder, BlocksAreValidEtc1WithTheirTrueErrorAndNotFarBehindTheSearch)
{
    // Differential bases must stay within reach of each other (no ETC1 block otherwise), the
    // reported error is the decoded block's, and over many blocks the fast choice may cost
    // only a little more error than the search.
    long fast = 0;
    long searched = 0;
    for (const etc::PixelBlock& block : codectest::variedBlocks()) {
        const etc::SubblockCandidate c = etc::encodeSubblockModesFast(block, etc::fastestPaletteKernel());
        const etc::SubblockParams& p = c.params;
        if (p.differential) {
            EXPECT_TRUE(etc::differentialDeltaFits(p.base[0], p.base[1]));
        }
        const long error = decodedError(etc::packSubblockMode(p), block);
        EXPECT_EQ(c.error, error);
        fast += error;
        searched += etc::encodeSubblockModes(block, {}, etc::searchSettings(etc::Effort::Default).etc1Subblocks).error;
    }
    EXPECT_LE(fast, searched * 21 / 20);
}

TEST(FastSubblockEncoder, SimpleBlocksComeOutNearlyExact)
{
    struct Case {
        const char* name;
        etc::PixelBlock block;
        bool differential;
    };
    const Case cases[] = {
        {"flat", makeBlock([](int, int) {
             return Texel{100, 150, 200, 255};
         }),
         true},
        // Red beside blue: the means lie too far apart for a differential pair.
        {"distant halves", makeBlock([](int x, int) {
             return x < 2 ? Texel{238, 17, 17, 255} : Texel{17, 17, 238, 255};
         }),
         false},
        // Saturated texels where the modifiers clamp at both ends.
        {"saturated", makeBlock([](int, int y) {
             return y < 2 ? Texel{255, 0, 0, 255} : Texel{255, 8, 0, 255};
         }),
         true},
        // Two grey levels per half, which one base and its table express exactly.
        {"two levels", makeBlock([](int x, int y) {
             const int level = (x + y) % 2 == 0 ? 92 : 108;
             return Texel{level, level, level, 255};
         }),
         true},
    };
    for (const Case& c : cases) {
        const etc::SubblockParams p = etc::encodeSubblockModesFast(c.block, etc::fastestPaletteKernel()).params;
        EXPECT_EQ(p.differential, c.differential) << c.name;
        // Each channel within 2 of the source on every texel.
        EXPECT_LE(decodedError(etc::packSubblockMode(p), c.block), 16 * 3 * 4) << c.name;
    }
}

} // namespace
