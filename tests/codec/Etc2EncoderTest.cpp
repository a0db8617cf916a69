#include "Etc2Encoder.h"
#include "BlockExpectations.h"
#include "Etc1Encoder.h"
#include "Etc2Block.h"
#include "Etc2ModeBits.h"

#include <random>

using codectest::makeBlock;
using Texel = std::array<int, 4>;

namespace {

const etc::SearchSettings& settings() { return etc::searchSettings(etc::Effort::Default); }

long etc2Error(std::uint64_t word, const etc::PixelBlock& block)
{
    etc::PixelBlock decoded;
    etc::decodeEtc2Block(word, decoded);
    return etc::rgbBlockError(decoded, block, nullptr);
}

TEST(Etc2Encoder, SmoothGradientsTakePlanarMode)
{
    const etc::PixelBlock block = makeBlock([](int x, int y) {
        return Texel{30 + 17 * x + 9 * y, 220 - 11 * x - 6 * y, 90 + 5 * x + 14 * y, 255};
    });
    const std::uint64_t word = etc::encodeEtc2Block(block, settings());
    EXPECT_EQ(etc::detectEtc2Mode(word, false), etc::Etc2Mode::Planar);
    EXPECT_LE(etc2Error(word, block), 16 * 3);
}

TEST(Etc2Encoder, ScatteredColoursTakeTOrHMode)
{
    const etc::PixelBlock block = makeBlock([](int x, int y) {
        return (x * 3 + y * 5) % 4 == 0 ? Texel{51, 170, 85, 255} : Texel{204, 17, 136, 255};
    });
    const std::uint64_t word = etc::encodeEtc2Block(block, settings());
    const etc::Etc2Mode mode = etc::detectEtc2Mode(word, false);
    EXPECT_TRUE(mode == etc::Etc2Mode::T || mode == etc::Etc2Mode::H);
    EXPECT_EQ(etc2Error(word, block), 0);
}

TEST(Etc2Encoder, ExhaustiveSearchesTheLaterSplitsOfANearMissTOrHBlock)
{
    // A block of a normal map whose best T/H block comes from a split ranked below the first
    // eight: the exhaustive search must go back to T/H once the other modes have come close.
    const int texels[16][3] = {{72, 150, 240},  {115, 165, 249}, {137, 175, 246}, {146, 162, 249},
                               {85, 191, 229},  {125, 201, 232}, {129, 199, 233}, {128, 176, 245},
                               {94, 208, 221},  {122, 207, 227}, {104, 189, 237}, {97, 151, 249},
                               {103, 211, 221}, {95, 200, 227},  {67, 175, 230},  {64, 142, 237}};
    const etc::PixelBlock block = makeBlock([&](int x, int y) {
        const int* t = texels[y * 4 + x];
        return Texel{t[0], t[1], t[2], 255};
    });
    const etc::SearchSettings& exhaustive = etc::searchSettings(etc::Effort::Exhaustive);
    etc::SearchSettings firstSplitsOnly = exhaustive;
    firstSplitsOnly.thLatePartitions = 0;
    const long reached = 7044;
    ASSERT_GT(etc2Error(etc::encodeEtc2Block(block, firstSplitsOnly), block), reached) << "the first splits find it";

    const std::uint64_t word = etc::encodeEtc2Block(block, exhaustive);
    const etc::Etc2Mode mode = etc::detectEtc2Mode(word, false);
    EXPECT_TRUE(mode == etc::Etc2Mode::T || mode == etc::Etc2Mode::H);
    EXPECT_LE(etc2Error(word, block), reached);
}

TEST(Etc2Encoder, NeverWorseThanEtc1)
{
    // ETC2 decodes every ETC1 block the same way, so its search has the ETC1 result to beat.
    std::mt19937 random(2);
    etc::SearchSettings sameSubblocks = settings();
    sameSubblocks.etc2Subblocks = sameSubblocks.etc1Subblocks;
    for (int trial = 0; trial < 100; ++trial) {
        const etc::PixelBlock block = makeBlock([&](int x, int) {
            return Texel{static_cast<int>(random() % 256), x * 60, static_cast<int>(random() % 64), 255};
        });
        EXPECT_LE(etc2Error(etc::encodeEtc2Block(block, sameSubblocks), block),
                  etc2Error(etc::encodeEtc1Block(block, sameSubblocks), block));
    }
}

TEST(Etc2Encoder, PunchthroughMatchesTheAlphaClasses)
{
    std::mt19937 random(8);
    for (int trial = 0; trial < 200; ++trial) {
        const int pattern = trial % 4; // none, some, most, all transparent
        const etc::PixelBlock block = makeBlock([&](int x, int y) {
            const bool transparent = pattern == 3 || (pattern == 1 && (x + y) % 3 == 0) || (pattern == 2 && x + y > 1);
            return Texel{static_cast<int>(random() % 256), static_cast<int>(random() % 256), 40 * y,
                         transparent ? static_cast<int>(random() % 128) : 128 + static_cast<int>(random() % 128)};
        });
        const std::uint64_t word = etc::encodePunchthroughBlock(block, settings());
        etc::PixelBlock decoded;
        etc::decodePunchthroughBlock(word, decoded);
        for (int i = 0; i < etc::texelsPerBlock; ++i) {
            ASSERT_EQ(decoded.rgba[i][3], block.rgba[i][3] >= 128 ? 255 : 0) << trial << " texel " << i;
        }
        // Blocks without transparent texels set the opaque bit and keep the full tables.
        EXPECT_EQ((word >> 33 & 1) != 0, pattern == 0) << trial;
    }
}

} // namespace
