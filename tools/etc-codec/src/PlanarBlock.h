#ifndef ETC_PLANAR_BLOCK_H
#define ETC_PLANAR_BLOCK_H

#include "BlockLayout.h"

#include <cstdint>

// ETC2's planar mode: three colours in 6:7:6 bits, at the block's origin (O), one texel
// right of its right edge (H) and one texel below its bottom edge (V), interpolated
// linearly over the texels.
namespace etc {

struct PlanarParams {
    Rgb origin;
    Rgb horizontal;
    Rgb vertical;
};

constexpr int planarBits[3] = {6, 7, 6};

std::uint64_t packPlanarMode(const PlanarParams& params);
PlanarParams unpackPlanarMode(std::uint64_t word);

// One channel at texel (x, y) from the 8-bit origin, horizontal and vertical values.
inline int planarValue(int o, int h, int v, int x, int y)
{
    return clamp255((x * (h - o) + y * (v - o) + 4 * o + 2) >> 2);
}

void decodePlanarMode(const PlanarParams& params, PixelBlock& out);

} // namespace etc

#endif
