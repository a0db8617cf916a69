#ifndef ETC_ETC2_BLOCK_H
#define ETC_ETC2_BLOCK_H

#include "BlockLayout.h"

#include <cstdint>

// Whole colour blocks of the ETC2 formats, in whichever mode their bits select.
namespace etc {

void decodeEtc2Block(std::uint64_t word, PixelBlock& out);

// RGB8 with punchthrough alpha: without the opaque bit (bit 33), selector 2 of the
// differential, T and H modes is a transparent black texel, and the differential mode's
// small modifiers become 0. Planar blocks are always opaque.
void decodePunchthroughBlock(std::uint64_t word, PixelBlock& out);

} // namespace etc

#endif
