#ifndef ASSET_BUILD_PSF_FONT_H
#define ASSET_BUILD_PSF_FONT_H

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace assets {

// A Linux console bitmap font (PSF version 1 or 2), as Debian ships them under
// /usr/share/consolefonts.
struct PsfFont {
    int width = 0;
    int height = 0;
    int bytesPerRow = 0;
    int glyphCount = 0;
    std::vector<std::uint8_t> bitmaps;             // glyphCount x height x bytesPerRow
    std::map<std::uint32_t, int> glyphOfCodePoint; // from the font's unicode table, if it has one

    // The glyph for a Unicode code point: through the unicode table, or, for fonts without
    // one, the glyph of that index. -1 if the font has none.
    int glyphFor(std::uint32_t codePoint) const;
    // Pixel (x, y) of a glyph, most significant bit leftmost.
    bool pixel(int glyph, int x, int y) const;
};

// Parses PSF1 (magic 36 04) or PSF2 (magic 72 b5 4a 86) from memory, with its unicode table.
bool parsePsf(const std::vector<std::uint8_t>& bytes, PsfFont& font, std::string& error);

// Reads a font file, gzip-compressed (.psf.gz) or not. Errors name the file.
bool loadPsfFile(const std::string& path, PsfFont& font, std::string& error);

} // namespace assets

#endif
