#include "EacBlock.h"
#include "BlockExpectations.h"

using codectest::blockWord;
using etc::EacVariant;

namespace {

// Selectors 0..7 twice over the texel numbers x * 4 + y: column x takes (x * 4 + y) % 8.
constexpr std::uint8_t selectorBytes[6] = {0x05, 0x39, 0x77, 0x05, 0x39, 0x77};

std::uint64_t eacWord(int base, int multiplier, int table)
{
    return blockWord({static_cast<std::uint8_t>(base), static_cast<std::uint8_t>(multiplier << 4 | table),
                      selectorBytes[0], selectorBytes[1], selectorBytes[2], selectorBytes[3], selectorBytes[4],
                      selectorBytes[5]});
}

// The decoded values by selector (texel (x, y) has selector (x * 4 + y) % 8).
void expectBySelector(std::uint64_t word, EacVariant variant, const int (&bySelector)[8])
{
    int values[etc::texelsPerBlock];
    etc::decodeEac(word, variant, values);
    for (int i = 0; i < etc::texelsPerBlock; ++i) {
        const int x = i & 3;
        const int y = i >> 2;
        EXPECT_EQ(values[i], bySelector[(x * 4 + y) % 8]) << x << "," << y;
    }
}

// Table 13 is {-1, -2, -3, -10, 0, 1, 2, 9}.
TEST(EacBlock, UnsignedElevenBitValues)
{
    // 103 * 8 + 4 + modifier * 2 * 8.
    expectBySelector(eacWord(103, 2, 13), EacVariant::Unsigned11, {812, 796, 780, 668, 828, 844, 860, 972});
    // Multiplier 0 means 1/8: 103 * 8 + 4 + modifier.
    expectBySelector(eacWord(103, 0, 13), EacVariant::Unsigned11, {827, 826, 825, 818, 828, 829, 830, 837});
    // 255 * 8 + 4 + 9 * 15 * 8 clamps to 2047, 0 * 8 + 4 - 10 * 15 * 8 to 0.
    expectBySelector(eacWord(255, 15, 13), EacVariant::Unsigned11, {1924, 1804, 1684, 844, 2044, 2047, 2047, 2047});
    expectBySelector(eacWord(0, 15, 13), EacVariant::Unsigned11, {0, 0, 0, 0, 4, 124, 244, 1084});
}

TEST(EacBlock, SignedElevenBitValues)
{
    expectBySelector(eacWord(60, 2, 13), EacVariant::Signed11, {464, 448, 432, 320, 480, 496, 512, 624});
    expectBySelector(eacWord(60, 0, 13), EacVariant::Signed11, {479, 478, 477, 470, 480, 481, 482, 489});
    // Base -128 (0x80) reads as -127: -1016 + modifier * 8, clamped to -1023.
    expectBySelector(eacWord(0x80, 1, 13), EacVariant::Signed11,
                     {-1023, -1023, -1023, -1023, -1016, -1008, -1000, -944});
    expectBySelector(eacWord(0x81, 1, 13), EacVariant::Signed11,
                     {-1023, -1023, -1023, -1023, -1016, -1008, -1000, -944});
    expectBySelector(eacWord(127, 15, 13), EacVariant::Signed11, {896, 776, 656, -184, 1016, 1023, 1023, 1023});
}

TEST(EacBlock, AlphaValuesAreEightBitAndZeroMultiplierIsFlat)
{
    expectBySelector(eacWord(103, 2, 13), EacVariant::Alpha8, {101, 99, 97, 83, 103, 105, 107, 121});
    expectBySelector(eacWord(103, 0, 13), EacVariant::Alpha8, {103, 103, 103, 103, 103, 103, 103, 103});
    expectBySelector(eacWord(250, 3, 13), EacVariant::Alpha8, {247, 244, 241, 220, 250, 253, 255, 255});
}

TEST(EacBlock, PackWritesTheFieldsUnpackReads)
{
    const etc::EacParams p = etc::unpackEac(eacWord(0x80, 1, 13), EacVariant::Signed11);
    EXPECT_EQ(p.base, -128);
    EXPECT_EQ(p.multiplier, 1);
    EXPECT_EQ(p.table, 13);
    EXPECT_EQ(p.selectors[1], 4); // texel (1, 0) is number 4
    EXPECT_EQ(etc::packEac(p), eacWord(0x80, 1, 13));
}

TEST(EacBlock, ChannelBytesMapToValuesAndBack)
{
    EXPECT_EQ(etc::eacTargetFromByte(EacVariant::Unsigned11, 0), 0);
    EXPECT_EQ(etc::eacTargetFromByte(EacVariant::Unsigned11, 255), 2047);
    EXPECT_EQ(etc::eacTargetFromByte(EacVariant::Unsigned11, 100), 803); // 802.75
    EXPECT_EQ(etc::eacTargetFromByte(EacVariant::Signed11, 0), -1023);
    EXPECT_EQ(etc::eacTargetFromByte(EacVariant::Signed11, 255), 1023);
    EXPECT_EQ(etc::eacTargetFromByte(EacVariant::Signed11, 128), 4);   // 4.01
    EXPECT_EQ(etc::byteFromEacValue(EacVariant::Unsigned11, 668), 83); // 83.2
    EXPECT_EQ(etc::byteFromEacValue(EacVariant::Signed11, 320), 167);  // 167.4
    EXPECT_EQ(etc::byteFromEacValue(EacVariant::Signed11, -1023), 0);
    for (EacVariant variant : {EacVariant::Unsigned11, EacVariant::Signed11, EacVariant::Alpha8}) {
        for (int byte = 0; byte < 256; ++byte) {
            EXPECT_EQ(etc::byteFromEacValue(variant, etc::eacTargetFromByte(variant, byte)), byte);
        }
    }
}

} // namespace
