#include "Etc2Block.h"
#include "BlockExpectations.h"

using codectest::blockWord;
using codectest::texelAt;
using Texel = std::array<int, 4>;

namespace {

constexpr Texel transparent = {0, 0, 0, 0};

void expectRows(const etc::PixelBlock& out, const Texel (&left)[4], const Texel (&right)[4])
{
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(texelAt(out, x, y), x < 2 ? left[y] : right[y]) << x << "," << y;
        }
    }
}

// Differential bases (231, 33, 24) and (198, 49, 24), tables 0 (2, 8) and 5 (24, 80), row y
// of texels taking selector y; byte 3 bit 1 is the opaque bit.
constexpr std::array<std::uint8_t, 8> differentialOpaque = {0xE4, 0x22, 0x18, 0x16, 0xCC, 0xCC, 0xAA, 0xAA};
constexpr std::array<std::uint8_t, 8> differentialTransparent = {0xE4, 0x22, 0x18, 0x14, 0xCC, 0xCC, 0xAA, 0xAA};

TEST(Etc2Block, OpaquePunchthroughDifferentialUsesTheFullTables)
{
    etc::PixelBlock out;
    etc::decodePunchthroughBlock(blockWord(differentialOpaque), out);
    expectRows(out, {{233, 35, 26, 255}, {239, 41, 32, 255}, {229, 31, 22, 255}, {223, 25, 16, 255}},
               {{222, 73, 48, 255}, {255, 129, 104, 255}, {174, 25, 0, 255}, {118, 0, 0, 255}});
}

TEST(Etc2Block, NonOpaqueDifferentialZeroesSmallModifiersAndCutsSelectorTwo)
{
    etc::PixelBlock out;
    etc::decodePunchthroughBlock(blockWord(differentialTransparent), out);
    expectRows(out, {{231, 33, 24, 255}, {239, 41, 32, 255}, transparent, {223, 25, 16, 255}},
               {{198, 49, 24, 255}, {255, 129, 104, 255}, transparent, {118, 0, 0, 255}});
}

TEST(Etc2Block, Rgb8ReadsAClearDBitAsIndividualMode)
{
    // R1 R2 = 14 4, G1 G2 = 2 2, B1 B2 = 1 8, tables 0 and 5.
    etc::PixelBlock out;
    etc::decodeEtc2Block(blockWord(differentialTransparent), out);
    expectRows(out, {{240, 36, 19, 255}, {246, 42, 25, 255}, {236, 32, 15, 255}, {230, 26, 9, 255}},
               {{92, 58, 160, 255}, {148, 114, 216, 255}, {44, 10, 112, 255}, {0, 0, 56, 255}});
}

TEST(Etc2Block, NonOpaqueTAndHModesCutPaintColourTwo)
{
    // The T and H blocks of the T/H mode tests with the opaque bit cleared.
    const std::array<std::uint8_t, 8> tMode = {0xF9, 0x27, 0x48, 0xF9, 0xCC, 0xCC, 0xAA, 0xAA};
    const std::array<std::uint8_t, 8> hMode = {0x94, 0xF9, 0x30, 0xE4, 0xCC, 0xCC, 0xAA, 0xAA};
    etc::PixelBlock out;
    etc::decodePunchthroughBlock(blockWord(tMode), out);
    expectRows(out, {{221, 34, 119, 255}, {100, 168, 255, 255}, transparent, {36, 104, 223, 255}},
               {{221, 34, 119, 255}, {100, 168, 255, 255}, transparent, {36, 104, 223, 255}});
    etc::decodePunchthroughBlock(blockWord(hMode), out);
    expectRows(out, {{57, 176, 193, 255}, {11, 130, 147, 255}, transparent, {79, 0, 181, 255}},
               {{57, 176, 193, 255}, {11, 130, 147, 255}, transparent, {79, 0, 181, 255}});
}

TEST(Etc2Block, PlanarPunchthroughIsOpaqueEitherWay)
{
    // The planar block of the planar tests with the opaque bit cleared.
    const std::array<std::uint8_t, 8> planar = {0x41, 0x00, 0x14, 0x7D, 0x00, 0x40, 0x1F, 0xF0};
    etc::PixelBlock out;
    etc::decodePunchthroughBlock(blockWord(planar), out);
    EXPECT_EQ(texelAt(out, 0, 0), (Texel{130, 129, 65, 255}));
    EXPECT_EQ(texelAt(out, 1, 2), (Texel{96, 160, 122, 255}));
    EXPECT_EQ(texelAt(out, 3, 3), (Texel{126, 127, 138, 255}));
}

} // namespace
