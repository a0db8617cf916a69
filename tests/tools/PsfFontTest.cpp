#include "PsfFont.h"

#include "TestFolder.h"

#include <gtest/gtest.h>
#include <zlib.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

void appendLittle16(Bytes& bytes, std::uint32_t value)
{
    bytes.push_back(std::uint8_t(value));
    bytes.push_back(std::uint8_t(value >> 8));
}

void appendLittle32(Bytes& bytes, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(std::uint8_t(value >> shift));
}

// 256 glyphs of 8 x 16; every row of glyph g is the byte g, so a glyph's index can be read
// back from its pixels. `table` lists each glyph's 16-bit entries (0xFFFF ends are added).
Bytes psf1Font(const std::vector<std::vector<std::uint32_t>>& table)
{
    Bytes bytes = {0x36, 0x04, std::uint8_t(table.empty() ? 0x00 : 0x02), 16};
    for (int glyph = 0; glyph < 256; ++glyph)
        bytes.insert(bytes.end(), 16, std::uint8_t(glyph));
    for (int glyph = 0; glyph < (table.empty() ? 0 : 256); ++glyph) {
        if (std::size_t(glyph) < table.size())
            for (std::uint32_t entry : table[glyph])
                appendLittle16(bytes, entry);
        appendLittle16(bytes, 0xFFFF);
    }
    return bytes;
}

// PSF2 glyphs of the given size, each filled with bytes equal to its index.
Bytes psf2Font(int width, int height, int glyphs, const std::vector<Bytes>& table)
{
    const int bytesPerRow = (width + 7) / 8;
    Bytes bytes = {0x72, 0xb5, 0x4a, 0x86};
    appendLittle32(bytes, 0);
    appendLittle32(bytes, 32);
    appendLittle32(bytes, table.empty() ? 0 : 1);
    appendLittle32(bytes, glyphs);
    appendLittle32(bytes, bytesPerRow * height);
    appendLittle32(bytes, height);
    appendLittle32(bytes, width);
    for (int glyph = 0; glyph < glyphs; ++glyph)
        bytes.insert(bytes.end(), std::size_t(bytesPerRow) * height, std::uint8_t(glyph));
    for (int glyph = 0; glyph < (table.empty() ? 0 : glyphs); ++glyph) {
        if (std::size_t(glyph) < table.size())
            bytes.insert(bytes.end(), table[glyph].begin(), table[glyph].end());
        bytes.push_back(0xFF);
    }
    return bytes;
}

} // namespace

TEST(PsfFont, Psf1UnicodeTableMapsCodePointsToGlyphsAndSkipsSequences)
{
    // Glyph 0: 'A' and Greek capital alpha; glyph 1: space; glyph 2: a sequence holding 'B'
    // only (a combination, not the character B); glyph 3: 'B'.
    const Bytes bytes = psf1Font({{0x41, 0x391}, {0x20}, {0xFFFE, 0x42, 0x301}, {0x42}});
    assets::PsfFont font;
    std::string error;
    ASSERT_TRUE(assets::parsePsf(bytes, font, error)) << error;
    EXPECT_EQ(font.width, 8);
    EXPECT_EQ(font.height, 16);
    EXPECT_EQ(font.glyphCount, 256);
    EXPECT_EQ(font.glyphFor('A'), 0);
    EXPECT_EQ(font.glyphFor(0x391), 0);
    EXPECT_EQ(font.glyphFor(' '), 1);
    EXPECT_EQ(font.glyphFor('B'), 3);
    EXPECT_EQ(font.glyphFor('C'), -1);
    EXPECT_EQ(font.glyphFor(0x301), -1);
}

TEST(PsfFont, FontsWithoutATableUseTheCodeAsTheGlyphIndex)
{
    assets::PsfFont font;
    std::string error;
    ASSERT_TRUE(assets::parsePsf(psf1Font({}), font, error)) << error;
    EXPECT_EQ(font.glyphFor('A'), 'A');
    EXPECT_EQ(font.glyphFor(300), -1);
    // Row bytes equal the glyph index; the most significant bit is the leftmost pixel.
    // 'A' is 0x41 = 01000001.
    EXPECT_FALSE(font.pixel('A', 0, 5));
    EXPECT_TRUE(font.pixel('A', 1, 5));
    EXPECT_TRUE(font.pixel('A', 7, 15));
    EXPECT_FALSE(font.pixel('A', 6, 0));
}

TEST(PsfFont, Psf2ReadsSizesAndAUtf8TableWithSequences)
{
    // Glyph 1: U+00E9 (two UTF-8 bytes) and 'e'; glyph 2: a sequence, then U+20AC (three bytes).
    const Bytes bytes = psf2Font(12, 20, 4, {{}, {0xC3, 0xA9, 'e'}, {0xFE, 'x', 0x01}, {0xE2, 0x82, 0xAC}});
    assets::PsfFont font;
    std::string error;
    ASSERT_TRUE(assets::parsePsf(bytes, font, error)) << error;
    EXPECT_EQ(font.width, 12);
    EXPECT_EQ(font.height, 20);
    EXPECT_EQ(font.bytesPerRow, 2);
    EXPECT_EQ(font.glyphFor(0xE9), 1);
    EXPECT_EQ(font.glyphFor('e'), 1);
    EXPECT_EQ(font.glyphFor('x'), -1);
    EXPECT_EQ(font.glyphFor(0x20AC), 3);
    // Glyph 3 rows are 0x03 0x03: pixels 6, 7 and 14, 15 set.
    EXPECT_TRUE(font.pixel(3, 7, 0));
    EXPECT_FALSE(font.pixel(3, 8, 0));
    EXPECT_FALSE(font.pixel(3, 5, 19));
}

TEST(PsfFont, RejectsFilesThatAreNotPsfOrAreCutShort)
{
    assets::PsfFont font;
    std::string error;
    EXPECT_FALSE(assets::parsePsf(Bytes{'P', 'N', 'G', 0, 0, 0, 0, 0}, font, error));
    EXPECT_NE(error.find("not a PSF"), std::string::npos) << error;

    Bytes psf1 = psf1Font({{0x41}});
    psf1.resize(4 + 100 * 16);
    EXPECT_FALSE(assets::parsePsf(psf1, font, error));

    Bytes table = psf1Font({{0x41}});
    table.resize(table.size() - 3); // the last glyph's end marker is missing
    EXPECT_FALSE(assets::parsePsf(table, font, error));

    Bytes psf2 = psf2Font(8, 16, 4, {});
    psf2[28] = 0; // width 0
    EXPECT_FALSE(assets::parsePsf(psf2, font, error));

    EXPECT_FALSE(assets::parsePsf(psf2Font(8, 16, 2, {{0xC3}}), font, error)) << "UTF-8 cut off by the end marker";
}

TEST(PsfFont, LoadsGzipCompressedAndPlainFilesAndNamesAMissingOne)
{
    TestFolder folder;
    const Bytes bytes = psf1Font({{0x41}});
    const std::string compressed = folder.pathOf("font.psf.gz");
    gzFile out = gzopen(compressed.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    ASSERT_EQ(gzwrite(out, bytes.data(), unsigned(bytes.size())), int(bytes.size()));
    gzclose(out);
    const std::string plain = folder.write("font.psf", std::string(bytes.begin(), bytes.end()));

    for (const std::string& path : {compressed, plain}) {
        assets::PsfFont font;
        std::string error;
        ASSERT_TRUE(assets::loadPsfFile(path, font, error)) << error;
        EXPECT_EQ(font.glyphFor('A'), 0) << path;
    }
    assets::PsfFont font;
    std::string error;
    EXPECT_FALSE(assets::loadPsfFile(folder.pathOf("absent.psf.gz"), font, error));
    EXPECT_NE(error.find(folder.pathOf("absent.psf.gz")), std::string::npos) << error;
}
