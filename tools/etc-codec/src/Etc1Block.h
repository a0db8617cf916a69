#ifndef ETC_ETC1_BLOCK_H
#define ETC_ETC1_BLOCK_H

#include "BlockLayout.h"

#include <cstdint>

// The two subblock modes of ETC1, kept by ETC2 and by punchthrough alpha: the block splits
// into two halves, each with a base colour, a modifier table and a 2-bit selector per texel.
namespace etc {

using ModifierTables = int[8][4];

// Value added to the base colour for each table and stored selector (msb * 2 + lsb).
extern const ModifierTables etc1Modifiers;
// Punchthrough blocks without the opaque bit: selector 2 is transparent and the small
// modifiers become 0.
extern const ModifierTables transparentModifiers;

struct SubblockParams {
    bool differential = false;
    // false: the halves are the left and right 2 x 4 columns; true: the top and bottom 4 x 2 rows.
    bool flip = false;
    // 4-bit components in individual mode, 5-bit in differential mode; both absolute, so the
    // second minus the first must lie in [-4, 3] per component when differential.
    Rgb base[2];
    int table[2] = {0, 0};
    std::uint8_t selectors[texelsPerBlock] = {}; // raster order
};

constexpr int texelsPerSubblock = 8;

// Raster indices of the texels of one half (0 or 1).
const int* subblockTexels(bool flip, int half);

bool differentialDeltaFits(const Rgb& first, const Rgb& second);

// Bit 33 carries `differential` (punchthrough blocks put their opaque bit there instead).
std::uint64_t packSubblockMode(const SubblockParams& params);
// `differential` says how to read the base colours: ETC1 and ETC2 take it from bit 33,
// punchthrough blocks are always differential.
SubblockParams unpackSubblockMode(std::uint64_t word, bool differential);

// Base colour of a half widened to 8 bits.
Rgb subblockBaseColor(const SubblockParams& params, int half);

void decodeSubblockMode(const SubblockParams& params, const ModifierTables& modifiers, PixelBlock& out);

// A GL_ETC1_RGB8_OES block (individual or differential mode only).
void decodeEtc1Block(std::uint64_t word, PixelBlock& out);

} // namespace etc

#endif
