#include "Etc1Block.h"
#include "BlockExpectations.h"
#include "Etc2Block.h"

using codectest::blockWord;
using codectest::texelAt;
using Texel = std::array<int, 4>;

namespace {

// Individual mode: R1 G1 B1 = 14 3 8 (238 51 136), R2 G2 B2 = 3 8 0 (51 136 0), table 2
// (9, 29) for the first half, 7 (47, 183) for the second. Selector bits: msb plane 0x0F0F,
// lsb plane 0x3333, so with texel number x * 4 + y: even columns take 3 (-b) on rows 0-1 and
// 2 (-a) on rows 2-3, odd columns 1 (+b) and 0 (+a).
constexpr std::array<std::uint8_t, 8> individual = {0xE3, 0x38, 0x80, 0x5C, 0x0F, 0x0F, 0x33, 0x33};
constexpr std::array<std::uint8_t, 8> individualFlipped = {0xE3, 0x38, 0x80, 0x5D, 0x0F, 0x0F, 0x33, 0x33};

// Differential mode: R G B = 28 4 3 (231 33 24), dR dG dB = -4 2 0 (second base 198 49 24),
// tables 0 (2, 8) and 5 (24, 80), every selector 1 (+b).
constexpr std::array<std::uint8_t, 8> differential = {0xE4, 0x22, 0x18, 0x16, 0x00, 0x00, 0xFF, 0xFF};

TEST(Etc1Block, IndividualModeSideBySideHalves)
{
    etc::PixelBlock out;
    etc::decodeEtc1Block(blockWord(individual), out);
    for (int y = 0; y < 4; ++y) {
        const bool top = y < 2;
        EXPECT_EQ(texelAt(out, 0, y), (top ? Texel{209, 22, 107, 255} : Texel{229, 42, 127, 255})) << y;
        EXPECT_EQ(texelAt(out, 1, y), (top ? Texel{255, 80, 165, 255} : Texel{247, 60, 145, 255})) << y;
        EXPECT_EQ(texelAt(out, 2, y), (top ? Texel{0, 0, 0, 255} : Texel{4, 89, 0, 255})) << y;
        EXPECT_EQ(texelAt(out, 3, y), (top ? Texel{234, 255, 183, 255} : Texel{98, 183, 47, 255})) << y;
    }
}

TEST(Etc1Block, FlipBitStacksTheHalves)
{
    etc::PixelBlock out;
    etc::decodeEtc1Block(blockWord(individualFlipped), out);
    for (int x = 0; x < 4; ++x) {
        const bool even = x % 2 == 0;
        EXPECT_EQ(texelAt(out, x, 0), (even ? Texel{209, 22, 107, 255} : Texel{255, 80, 165, 255})) << x;
        EXPECT_EQ(texelAt(out, x, 1), (even ? Texel{209, 22, 107, 255} : Texel{255, 80, 165, 255})) << x;
        EXPECT_EQ(texelAt(out, x, 2), (even ? Texel{4, 89, 0, 255} : Texel{98, 183, 47, 255})) << x;
        EXPECT_EQ(texelAt(out, x, 3), (even ? Texel{4, 89, 0, 255} : Texel{98, 183, 47, 255})) << x;
    }
}

TEST(Etc1Block, DifferentialModeAddsSignedDeltas)
{
    etc::PixelBlock out;
    etc::decodeEtc1Block(blockWord(differential), out);
    for (int y = 0; y < 4; ++y) {
        EXPECT_EQ(texelAt(out, 0, y), (Texel{239, 41, 32, 255}));
        EXPECT_EQ(texelAt(out, 1, y), (Texel{239, 41, 32, 255}));
        EXPECT_EQ(texelAt(out, 2, y), (Texel{255, 129, 104, 255}));
        EXPECT_EQ(texelAt(out, 3, y), (Texel{255, 129, 104, 255}));
    }
}

TEST(Etc1Block, Etc2DecodesEtc1BlocksTheSameWay)
{
    for (const auto& bytes : {individual, individualFlipped, differential}) {
        etc::PixelBlock etc1;
        etc::PixelBlock etc2;
        etc::decodeEtc1Block(blockWord(bytes), etc1);
        etc::decodeEtc2Block(blockWord(bytes), etc2);
        for (int i = 0; i < etc::texelsPerBlock; ++i) {
            EXPECT_EQ(texelAt(etc1, i & 3, i >> 2), texelAt(etc2, i & 3, i >> 2));
        }
    }
}

TEST(Etc1Block, PackWritesTheFieldsUnpackReads)
{
    const etc::SubblockParams params = etc::unpackSubblockMode(blockWord(differential), true);
    EXPECT_EQ(params.base[0], (etc::Rgb{28, 4, 3}));
    EXPECT_EQ(params.base[1], (etc::Rgb{24, 6, 3}));
    EXPECT_EQ(params.table[0], 0);
    EXPECT_EQ(params.table[1], 5);
    EXPECT_FALSE(params.flip);
    EXPECT_EQ(etc::packSubblockMode(params), blockWord(differential));
    EXPECT_EQ(etc::packSubblockMode(etc::unpackSubblockMode(blockWord(individualFlipped), false)),
              blockWord(individualFlipped));
}

TEST(Etc1Block, DifferentialRangeIsMinusFourToThree)
{
    EXPECT_TRUE(etc::differentialDeltaFits({10, 10, 10}, {6, 13, 10}));
    EXPECT_FALSE(etc::differentialDeltaFits({10, 10, 10}, {5, 10, 10}));
    EXPECT_FALSE(etc::differentialDeltaFits({10, 10, 10}, {10, 14, 10}));
}

} // namespace
