#include "ThEncoder.h"
#include "BlockExpectations.h"
#include "Etc2Block.h"

#include <climits>

using codectest::makeBlock;
using Texel = std::array<int, 4>;

namespace {

const etc::SearchSettings& settings() { return etc::searchSettings(etc::Effort::Default); }

Texel grey4(int r, int g, int b) { return {17 * r, 17 * g, 17 * b, 255}; }

TEST(ThEncoder, TwoScatteredColoursAreExact)
{
    // Two 4-bit colours in a pattern no pair of halves follows: T mode paints both exactly.
    const etc::PixelBlock block =
        makeBlock([](int x, int y) { return (x * 3 + y * 5) % 4 == 0 ? grey4(3, 10, 5) : grey4(12, 1, 8); });
    const etc::ThCandidate c = etc::encodeThModes(block, etc::ThOptions{}, settings());
    EXPECT_EQ(c.error, 0);
    etc::PixelBlock decoded;
    etc::decodeEtc2Block(etc::packThMode(c.params), decoded);
    EXPECT_EQ(etc::rgbBlockError(decoded, block, nullptr), 0);
}

TEST(ThEncoder, FourColoursOfTwoPairsAreExactInHMode)
{
    // c0 +- 23 and c1 +- 23 (distance index 4), scattered.
    const int c0[3] = {68, 136, 170};
    const int c1[3] = {170, 51, 102};
    const etc::PixelBlock block = makeBlock([&](int x, int y) {
        const int k = (x + 2 * y + x * y) % 4;
        const int* c = k < 2 ? c0 : c1;
        const int d = k % 2 == 0 ? 23 : -23;
        return Texel{c[0] + d, c[1] + d, c[2] + d, 255};
    });
    const etc::ThCandidate c = etc::encodeThModes(block, etc::ThOptions{}, settings());
    EXPECT_TRUE(c.params.hMode);
    EXPECT_EQ(c.error, 0);
    etc::PixelBlock decoded;
    etc::decodeEtc2Block(etc::packThMode(c.params), decoded);
    EXPECT_EQ(etc::rgbBlockError(decoded, block, nullptr), 0);
}

TEST(ThEncoder, PunchthroughKeepsPaintTwoForTheTransparentTexels)
{
    // The H pattern with a diagonal cut out: H blocks cannot swap their colours here, or
    // the transparent paint colour would move to opaque texels.
    const int c0[3] = {68, 136, 170};
    const int c1[3] = {170, 51, 102};
    bool counted[etc::texelsPerBlock];
    const etc::PixelBlock block = makeBlock([&](int x, int y) {
        const int k = (x + 2 * y + x * y) % 4;
        const int* c = k < 2 ? c0 : c1;
        const int d = k % 2 == 0 ? 23 : -23;
        counted[y * 4 + x] = x != y;
        return Texel{c[0] + d, c[1] + d, c[2] + d, x != y ? 255 : 0};
    });
    etc::ThOptions options;
    options.paintMask = 0xB;
    options.counted = counted;
    options.uncountedSelector = 2;
    const etc::ThCandidate c = etc::encodeThModes(block, options, settings());
    ASSERT_NE(c.error, LONG_MAX);
    etc::PixelBlock decoded;
    etc::decodePunchthroughBlock(etc::packThMode(c.params) & ~(std::uint64_t{1} << 33), decoded);
    for (int i = 0; i < etc::texelsPerBlock; ++i) {
        EXPECT_EQ(decoded.rgba[i][3], counted[i] ? 255 : 0) << i;
    }
    EXPECT_EQ(etc::rgbBlockError(decoded, block, counted), c.error);
}

} // namespace
