#include "FontAtlas.h"

#include <gtest/gtest.h>

namespace {

// An 8 x 16 font whose glyph g has, in row y, the single pixel x = (g + y) mod 8 set, and
// a table that maps every code point 32..126 to glyph code + 100 (so that glyph index and
// character code differ) and leaves 127 unmapped.
assets::PsfFont diagonalFont()
{
    assets::PsfFont font;
    font.width = 8;
    font.height = 16;
    font.bytesPerRow = 1;
    font.glyphCount = 256;
    for (int glyph = 0; glyph < 256; ++glyph)
        for (int y = 0; y < 16; ++y)
            font.bitmaps.push_back(std::uint8_t(0x80 >> ((glyph + y) % 8)));
    for (std::uint32_t code = 32; code < 127; ++code)
        font.glyphOfCodePoint[code] = int(code) + 100;
    return font;
}

const std::uint8_t* atlasPixel(const std::vector<std::uint8_t>& rgba, int x, int y)
{
    return &rgba[(std::size_t(y) * assets::fontAtlasWidth + x) * 4];
}

} // namespace

TEST(FontAtlas, EachCharacterLandsInItsCellThroughTheUnicodeTable)
{
    std::vector<std::uint8_t> rgba;
    std::string error;
    ASSERT_TRUE(assets::renderFontAtlas(diagonalFont(), rgba, error)) << error;
    ASSERT_EQ(rgba.size(), 49152u);
    // 'A' (65): index 33, column 1, row 1: cell at (8, 16), glyph 165.
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 8; ++x) {
            const bool set = x == (165 + y) % 8;
            const std::uint8_t* p = atlasPixel(rgba, 8 + x, 16 + y);
            const std::uint8_t expected = set ? 255 : 0;
            EXPECT_EQ(p[0], expected) << x << "," << y;
            EXPECT_EQ(p[1], expected);
            EXPECT_EQ(p[2], expected);
            EXPECT_EQ(p[3], expected);
        }
    }
    // '~' (126): index 94, column 30, row 2; glyph 226: row 0 has x = 226 mod 8 = 2.
    EXPECT_EQ(atlasPixel(rgba, 30 * 8 + 2, 32)[3], 255);
    EXPECT_EQ(atlasPixel(rgba, 30 * 8 + 3, 32)[3], 0);
}

TEST(FontAtlas, CharactersWithoutAGlyphStayEmpty)
{
    std::vector<std::uint8_t> rgba;
    std::string error;
    ASSERT_TRUE(assets::renderFontAtlas(diagonalFont(), rgba, error)) << error;
    // 127: index 95, the last cell (248..255, 32..47).
    for (int y = 32; y < 48; ++y)
        for (int x = 248; x < 256; ++x)
            EXPECT_EQ(atlasPixel(rgba, x, y)[3], 0) << x << "," << y;
}

TEST(FontAtlas, RefusesGlyphsThatAreNotEightBySixteen)
{
    assets::PsfFont font = diagonalFont();
    font.height = 14;
    std::vector<std::uint8_t> rgba;
    std::string error;
    EXPECT_FALSE(assets::renderFontAtlas(font, rgba, error));
    EXPECT_NE(error.find("8 x 14"), std::string::npos) << error;
}
