#ifndef ETC_TH_BLOCK_H
#define ETC_TH_BLOCK_H

#include "BlockLayout.h"

#include <cstdint>

// ETC2's T and H modes: two 4-bit-per-component colours and a distance give four paint
// colours; each texel picks one with a 2-bit selector.
//   T: paint 0 = colour 0, paint 1..3 = colour 1 + d, colour 1, colour 1 - d.
//   H: paint 0, 1 = colour 0 +- d, paint 2, 3 = colour 1 +- d.
namespace etc {

extern const int thDistances[8];

struct ThParams {
    bool hMode = false;
    Rgb color[2];                                // 4-bit components
    int distance = 0;                            // index into thDistances
    std::uint8_t selectors[texelsPerBlock] = {}; // raster order, paint colour per texel
};

void thPaintColors(const Rgb (&colors8)[2], bool hMode, int distance, Rgb (&paint)[4]);

// H mode stores the lowest distance bit as the order of its two colours, so packing may
// swap them (and remap the selectors). Two equal H colours can only express odd distance
// indices: an even one is raised by one.
std::uint64_t packThMode(const ThParams& params);
ThParams unpackTMode(std::uint64_t word);
ThParams unpackHMode(std::uint64_t word);

void decodeThMode(const ThParams& params, PixelBlock& out);

} // namespace etc

#endif
