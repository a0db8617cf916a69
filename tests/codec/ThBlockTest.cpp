#include "ThBlock.h"
#include "BlockExpectations.h"
#include "Etc2Block.h"
#include "Etc2ModeBits.h"

using codectest::blockWord;
using codectest::texelAt;
using Texel = std::array<int, 4>;

namespace {

// Every block below ends in selector planes msb 0xCCCC, lsb 0xAAAA: texel number x * 4 + y
// takes selector y, so row y shows paint colour y.

// T mode: colour 0 = (13, 2, 7) -> (221, 34, 119), colour 1 = (4, 8, 15) -> (68, 136, 255),
// distance index da:db = 10:1 = 5 -> 32. Bits 63-61 set and bit 58 clear make R + dR = 31 + 1
// overflow.
constexpr std::array<std::uint8_t, 8> tModeBlock = {0xF9, 0x27, 0x48, 0xFB, 0xCC, 0xCC, 0xAA, 0xAA};

// H mode: colour 0 = (2, 9, 10) -> (34, 153, 170), colour 1 = (6, 1, 12) -> (102, 17, 204);
// colour 0 < colour 1 gives distance bit 0 = 0, da = 1, db = 0: index 4 -> 23. Bit 63 keeps
// R + dR = 18 - 4 in range; bits 55-53 set make G + dG = 31 + 1 overflow.
constexpr std::array<std::uint8_t, 8> hModeBlock = {0x94, 0xF9, 0x30, 0xE6, 0xCC, 0xCC, 0xAA, 0xAA};

// The same H colours in the other order: colour 0 >= colour 1, so distance index 5 -> 32.
constexpr std::array<std::uint8_t, 8> hModeSwappedBlock = {0x30, 0xFA, 0x14, 0xD6, 0xCC, 0xCC, 0xAA, 0xAA};

void expectRows(const etc::PixelBlock& out, const Texel (&rows)[4])
{
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(texelAt(out, x, y), rows[y]) << x << "," << y;
        }
    }
}

TEST(ThBlock, TModePaintsOneColourAndAThreeStepLine)
{
    ASSERT_EQ(etc::detectEtc2Mode(blockWord(tModeBlock), false), etc::Etc2Mode::T);
    etc::PixelBlock out;
    etc::decodeEtc2Block(blockWord(tModeBlock), out);
    expectRows(out, {{221, 34, 119, 255}, {100, 168, 255, 255}, {68, 136, 255, 255}, {36, 104, 223, 255}});
}

TEST(ThBlock, HModeTakesTheLowDistanceBitFromTheColourOrder)
{
    ASSERT_EQ(etc::detectEtc2Mode(blockWord(hModeBlock), false), etc::Etc2Mode::H);
    etc::PixelBlock out;
    etc::decodeEtc2Block(blockWord(hModeBlock), out);
    expectRows(out, {{57, 176, 193, 255}, {11, 130, 147, 255}, {125, 40, 227, 255}, {79, 0, 181, 255}});

    ASSERT_EQ(etc::detectEtc2Mode(blockWord(hModeSwappedBlock), false), etc::Etc2Mode::H);
    etc::decodeEtc2Block(blockWord(hModeSwappedBlock), out);
    expectRows(out, {{134, 49, 236, 255}, {70, 0, 172, 255}, {66, 185, 202, 255}, {2, 121, 138, 255}});
}

TEST(ThBlock, PackedParametersDecodeAsUnpacked)
{
    const etc::ThParams t = etc::unpackTMode(blockWord(tModeBlock));
    EXPECT_EQ(t.color[0], (etc::Rgb{13, 2, 7}));
    EXPECT_EQ(t.color[1], (etc::Rgb{4, 8, 15}));
    EXPECT_EQ(t.distance, 5);
    const etc::ThParams h = etc::unpackHMode(blockWord(hModeBlock));
    EXPECT_EQ(h.color[0], (etc::Rgb{2, 9, 10}));
    EXPECT_EQ(h.color[1], (etc::Rgb{6, 1, 12}));
    EXPECT_EQ(h.distance, 4);
    for (const etc::ThParams& params : {t, h}) {
        const std::uint64_t word = etc::packThMode(params);
        EXPECT_EQ(etc::detectEtc2Mode(word, false), params.hMode ? etc::Etc2Mode::H : etc::Etc2Mode::T);
        etc::PixelBlock expected;
        etc::PixelBlock repacked;
        etc::decodeThMode(params, expected);
        etc::decodeEtc2Block(word, repacked);
        for (int i = 0; i < etc::texelsPerBlock; ++i) {
            EXPECT_EQ(texelAt(repacked, i & 3, i >> 2), texelAt(expected, i & 3, i >> 2));
        }
    }
}

TEST(ThBlock, HPackingSwapsColoursToExpressTheDistance)
{
    etc::ThParams h = etc::unpackHMode(blockWord(hModeBlock));
    h.distance = 5; // needs colour 0 >= colour 1, which these colours are not
    const std::uint64_t word = etc::packThMode(h);
    const etc::ThParams stored = etc::unpackHMode(word);
    EXPECT_EQ(stored.distance, 5);
    EXPECT_EQ(stored.color[0], h.color[1]);
    etc::PixelBlock expected;
    etc::PixelBlock decoded;
    etc::decodeThMode(h, expected);
    etc::decodeEtc2Block(word, decoded);
    for (int i = 0; i < etc::texelsPerBlock; ++i) {
        EXPECT_EQ(texelAt(decoded, i & 3, i >> 2), texelAt(expected, i & 3, i >> 2));
    }
}

TEST(ThBlock, EqualHColoursGiveAnOddDistance)
{
    // Colour 0 = colour 1 = (2, 9, 10): "colour 0 >= colour 1" holds, so the lowest distance
    // bit is 1; da = 1, db = 0 make index 5 -> 32, not 4 -> 23. Bit 63 keeps R + dR in range,
    // bits 55-53 make G + dG overflow.
    const std::array<std::uint8_t, 8> equal = {0x94, 0xF9, 0x14, 0xD6, 0xCC, 0xCC, 0xAA, 0xAA};
    ASSERT_EQ(etc::detectEtc2Mode(blockWord(equal), false), etc::Etc2Mode::H);
    EXPECT_EQ(etc::unpackHMode(blockWord(equal)).distance, 5);
    etc::PixelBlock out;
    etc::decodeEtc2Block(blockWord(equal), out);
    expectRows(out, {{66, 185, 202, 255}, {2, 121, 138, 255}, {66, 185, 202, 255}, {2, 121, 138, 255}});

    // Packing equal colours with an even index raises it to the next odd one.
    etc::ThParams p = etc::unpackHMode(blockWord(equal));
    p.distance = 4;
    EXPECT_EQ(etc::unpackHMode(etc::packThMode(p)).distance, 5);
}

} // namespace
