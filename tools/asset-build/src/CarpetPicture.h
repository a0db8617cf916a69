#ifndef ASSET_BUILD_CARPET_PICTURE_H
#define ASSET_BUILD_CARPET_PICTURE_H

#include "EtcCodec.h"

namespace assets {

constexpr int carpetWidth = 512;
constexpr int carpetHeight = 256;

// A worn, hand-knotted carpet in a geometric (stepped) style: selvedge, border of rosettes,
// a red field with a stepped medallion, corner pieces and small motifs, knotted pile. Its
// alpha is real: fringes of loose threads at both short ends fade out, moth holes with
// frayed rims (a few foundation threads still crossing them) and bites out of the edge
// show what lies behind.
etc::Image renderCarpet();

} // namespace assets

#endif
