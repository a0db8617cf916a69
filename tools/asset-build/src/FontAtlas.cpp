#include "FontAtlas.h"

namespace assets {

namespace {

void drawGlyph(const PsfFont& font, int glyph, int cellX, int cellY, std::vector<std::uint8_t>& rgba)
{
    for (int y = 0; y < fontCellHeight; ++y) {
        for (int x = 0; x < fontCellWidth; ++x) {
            if (!font.pixel(glyph, x, y))
                continue;
            std::uint8_t* p = &rgba[(std::size_t(cellY + y) * fontAtlasWidth + cellX + x) * 4];
            p[0] = p[1] = p[2] = p[3] = 255;
        }
    }
}

} // namespace

bool renderFontAtlas(const PsfFont& font, std::vector<std::uint8_t>& rgba, std::string& error)
{
    if (font.width != fontCellWidth || font.height != fontCellHeight) {
        error = "the font's glyphs are " + std::to_string(font.width) + " x " + std::to_string(font.height) +
            ", the atlas needs 8 x 16";
        return false;
    }
    rgba.assign(std::size_t(fontAtlasWidth) * fontAtlasHeight * 4, 0);
    const int columns = fontAtlasWidth / fontCellWidth;
    for (int index = 0; index < fontCharacterCount; ++index) {
        const int glyph = font.glyphFor(std::uint32_t(fontFirstCharacter + index));
        if (glyph >= 0)
            drawGlyph(font, glyph, index % columns * fontCellWidth, index / columns * fontCellHeight, rgba);
    }
    return true;
}

} // namespace assets
