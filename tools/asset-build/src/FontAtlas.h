#ifndef ASSET_BUILD_FONT_ATLAS_H
#define ASSET_BUILD_FONT_ATLAS_H

#include "PsfFont.h"

#include <cstdint>
#include <string>
#include <vector>

namespace assets {

// "font.raw": 256 x 48 RGBA bytes, rows from the top, no header: 32 columns x 3 rows of
// 8 x 16 cells for the characters 32..127, character c in column (c - 32) mod 32 and row
// (c - 32) div 32. Glyph pixels are opaque white (255, 255, 255, 255), everything else
// transparent black (0, 0, 0, 0), so a shader may use either alpha or colour as coverage.
constexpr int fontAtlasWidth = 256;
constexpr int fontAtlasHeight = 48;
constexpr int fontCellWidth = 8;
constexpr int fontCellHeight = 16;
constexpr int fontFirstCharacter = 32;
constexpr int fontCharacterCount = 96;

// Characters the font has no glyph for (127, DEL, in most fonts) stay empty cells.
// Fails for fonts whose glyphs are not 8 x 16.
bool renderFontAtlas(const PsfFont& font, std::vector<std::uint8_t>& rgba, std::string& error);

} // namespace assets

#endif
