#include "PlanarBlock.h"
#include "BlockExpectations.h"
#include "Etc2Block.h"
#include "Etc2ModeBits.h"

using codectest::blockWord;
using codectest::texelAt;
using Texel = std::array<int, 4>;

namespace {

// O = (32, 64, 16) -> (130, 129, 65), H = (63, 0, 8) -> (255, 0, 32), V = (0, 127, 48) ->
// (0, 255, 195). Bits 47-45 clear and bit 42 set make B + dB = 2 - 4 overflow.
constexpr std::array<std::uint8_t, 8> planar = {0x41, 0x00, 0x14, 0x7F, 0x00, 0x40, 0x1F, 0xF0};

// O = (0, 127, 0), H = (63, 0, 0), V = (63, 0, 0): red and green run past 0..255 and clamp.
constexpr std::array<std::uint8_t, 8> planarClamped = {0x01, 0x7E, 0x04, 0x7F, 0x00, 0x07, 0xE0, 0x00};

TEST(PlanarBlock, InterpolatesFromOriginHorizontalAndVertical)
{
    ASSERT_EQ(etc::detectEtc2Mode(blockWord(planar), false), etc::Etc2Mode::Planar);
    etc::PixelBlock out;
    etc::decodeEtc2Block(blockWord(planar), out);
    // (x (H - O) + y (V - O) + 4 O + 2) >> 2 per channel.
    EXPECT_EQ(texelAt(out, 0, 0), (Texel{130, 129, 65, 255}));
    EXPECT_EQ(texelAt(out, 3, 0), (Texel{224, 32, 40, 255}));
    EXPECT_EQ(texelAt(out, 0, 3), (Texel{33, 224, 163, 255}));
    EXPECT_EQ(texelAt(out, 3, 3), (Texel{126, 127, 138, 255}));
    EXPECT_EQ(texelAt(out, 1, 2), (Texel{96, 160, 122, 255}));
}

TEST(PlanarBlock, ClampsTheExtrapolatedValues)
{
    ASSERT_EQ(etc::detectEtc2Mode(blockWord(planarClamped), false), etc::Etc2Mode::Planar);
    etc::PixelBlock out;
    etc::decodeEtc2Block(blockWord(planarClamped), out);
    EXPECT_EQ(texelAt(out, 0, 0), (Texel{0, 255, 0, 255}));
    EXPECT_EQ(texelAt(out, 1, 0), (Texel{64, 191, 0, 255}));
    EXPECT_EQ(texelAt(out, 2, 1), (Texel{191, 64, 0, 255}));
    EXPECT_EQ(texelAt(out, 3, 3), (Texel{255, 0, 0, 255}));
}

TEST(PlanarBlock, PackingKeepsTheColoursAndTheMode)
{
    for (const auto& bytes : {planar, planarClamped}) {
        const etc::PlanarParams params = etc::unpackPlanarMode(blockWord(bytes));
        const std::uint64_t word = etc::packPlanarMode(params);
        EXPECT_EQ(etc::detectEtc2Mode(word, false), etc::Etc2Mode::Planar);
        const etc::PlanarParams again = etc::unpackPlanarMode(word);
        EXPECT_EQ(again.origin, params.origin);
        EXPECT_EQ(again.horizontal, params.horizontal);
        EXPECT_EQ(again.vertical, params.vertical);
    }
    const etc::PlanarParams p = etc::unpackPlanarMode(blockWord(planar));
    EXPECT_EQ(p.origin, (etc::Rgb{32, 64, 16}));
    EXPECT_EQ(p.horizontal, (etc::Rgb{63, 0, 8}));
    EXPECT_EQ(p.vertical, (etc::Rgb{0, 127, 48}));
}

} // namespace
