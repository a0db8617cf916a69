#include "Etc1Encoder.h"
#include "BlockExpectations.h"
#include "Etc1Block.h"
#include "SubblockBruteForce.h"

#include <algorithm>
#include <climits>
#include <random>

using codectest::makeBlock;
using Texel = std::array<int, 4>;

namespace {

const etc::SearchSettings& settings() { return etc::searchSettings(etc::Effort::Default); }

long decodedError(const etc::SubblockParams& params, const etc::PixelBlock& source)
{
    etc::PixelBlock decoded;
    etc::decodeSubblockMode(params, etc::etc1Modifiers, decoded);
    return etc::rgbBlockError(decoded, source, nullptr);
}

TEST(Etc1Encoder, FlatColourIsNearlyExact)
{
    const etc::PixelBlock block = makeBlock([](int, int) { return Texel{100, 150, 200, 255}; });
    const etc::SubblockCandidate c = etc::encodeSubblockModes(block, {}, settings().etc1Subblocks);
    // Each channel within 2 of the source on every texel.
    EXPECT_LE(c.error, 16 * 3 * 4);
    EXPECT_EQ(c.error, decodedError(c.params, block));
}

TEST(Etc1Encoder, DistantHalvesNeedIndividualMode)
{
    // Red beside blue: no 5-bit base pair lies within the differential range.
    const etc::PixelBlock sideBySide = makeBlock([](int x, int) {
        return x < 2 ? Texel{238, 17, 17, 255} : Texel{17, 17, 238, 255};
    });
    const etc::SubblockCandidate c = etc::encodeSubblockModes(sideBySide, {}, settings().etc1Subblocks);
    EXPECT_FALSE(c.params.differential);
    EXPECT_FALSE(c.params.flip);
    EXPECT_LE(c.error, 16 * 3 * 4);
}

TEST(Etc1Encoder, StackedHalvesUseTheFlip)
{
    const etc::PixelBlock stacked = makeBlock([](int, int y) {
        return y < 2 ? Texel{60, 120, 30, 255} : Texel{70, 110, 40, 255};
    });
    const etc::SubblockCandidate c = etc::encodeSubblockModes(stacked, {}, settings().etc1Subblocks);
    EXPECT_TRUE(c.params.flip);
    EXPECT_TRUE(c.params.differential);
    EXPECT_LE(c.error, 16 * 3 * 4);
}

TEST(Etc1Encoder, ReportedErrorIsTheDecodedError)
{
    // Random blocks, including saturated ones where the modifiers clamp.
    std::mt19937 random(3);
    for (int trial = 0; trial < 200; ++trial) {
        const int spread = trial % 2 == 0 ? 40 : 255;
        const etc::PixelBlock block = makeBlock([&](int, int) {
            return Texel{static_cast<int>(random() % spread), 255 - static_cast<int>(random() % spread),
                         static_cast<int>(random() % 256), 255};
        });
        for (etc::Effort effort : {etc::Effort::Fast, etc::Effort::Best, etc::Effort::Exhaustive}) {
            const etc::SubblockCandidate c =
                etc::encodeSubblockModes(block, {}, etc::searchSettings(effort).etc1Subblocks);
            ASSERT_EQ(c.error, decodedError(c.params, block)) << trial;
            if (c.params.differential) {
                EXPECT_TRUE(etc::differentialDeltaFits(c.params.base[0], c.params.base[1]));
            }
            // The packed block says the same.
            etc::PixelBlock decoded;
            etc::decodeEtc1Block(etc::packSubblockMode(c.params), decoded);
            EXPECT_EQ(etc::rgbBlockError(decoded, block, nullptr), c.error);
        }
    }
}

TEST(Etc1Encoder, UncountedTexelsGetTheirOwnSelector)
{
    bool counted[etc::texelsPerBlock];
    for (int i = 0; i < etc::texelsPerBlock; ++i) {
        counted[i] = i % 3 != 0;
    }
    const etc::PixelBlock block = makeBlock([](int x, int y) { return Texel{20 * x, 40 + 30 * y, 90, 255}; });
    etc::SubblockModeOptions options;
    options.allowIndividual = false;
    options.modifiers = &etc::transparentModifiers;
    options.selectorMask = 0xB; // no selector 2
    options.counted = counted;
    options.uncountedSelector = 2;
    const etc::SubblockCandidate c = etc::encodeSubblockModes(block, options, settings().etc2Subblocks);
    EXPECT_TRUE(c.params.differential);
    for (int i = 0; i < etc::texelsPerBlock; ++i) {
        EXPECT_EQ(c.params.selectors[i] == 2, !counted[i]) << i;
    }
}

// The least error of individual mode, every 4-bit base of every half of both flips tried.
long bruteIndividualMode(const etc::PixelBlock& block)
{
    long best = LONG_MAX;
    for (bool flip : {false, true}) {
        long total = 0;
        for (int half = 0; half < 2; ++half) {
            codectest::HalfColours colours;
            for (int lane = 0; lane < etc::texelsPerSubblock; ++lane) {
                const std::uint8_t* t = block.rgba[etc::subblockTexels(flip, half)[lane]];
                colours[lane] = {t[0], t[1], t[2]};
            }
            long least = LONG_MAX;
            for (int code = 0; code < 16 * 16 * 16; ++code) {
                least = std::min(least, codectest::bruteHalfError(colours, 4, {code >> 8, code >> 4 & 15, code & 15}));
            }
            total += least;
        }
        best = std::min(best, total);
    }
    return best;
}

TEST(Etc1Encoder, ExhaustiveFindsClampedOptimaOfSaturatedBlocks)
{
    // Red beside green, no blue: the best palettes clamp, which puts the best bases far from
    // the halves' means, where a search that ignores clamping does not look.
    std::mt19937 random(5);
    long found = 0;
    long optimum = 0;
    for (int trial = 0; trial < 12; ++trial) {
        const int strong[2] = {120 + static_cast<int>(random() % 100), 120 + static_cast<int>(random() % 100)};
        const int weak[2] = {static_cast<int>(random() % 50), static_cast<int>(random() % 50)};
        const etc::PixelBlock block = makeBlock([&](int x, int) {
            const int half = x < 2 ? 0 : 1;
            const int a = std::clamp(strong[half] + static_cast<int>(random() % 80) - 40, 0, 255);
            const int b = std::clamp(weak[half] + static_cast<int>(random() % 80) - 40, 0, 255);
            return half == 0 ? Texel{a, b, 0, 255} : Texel{b, a, 0, 255};
        });
        found += etc::encodeSubblockModes(block, {}, etc::searchSettings(etc::Effort::Exhaustive).etc1Subblocks).error;
        optimum += bruteIndividualMode(block);
    }
    // Differential mode may beat individual mode's optimum; the search may miss it by a little.
    EXPECT_LE(found, optimum + optimum / 100);
}

} // namespace
