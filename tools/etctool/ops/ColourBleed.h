#ifndef TEXTURE_OPS_COLOUR_BLEED_H
#define TEXTURE_OPS_COLOUR_BLEED_H

#include "EtcCodec.h"

namespace texops {

// Gives every fully transparent texel the colour of its nearest visible texels, spreading
// outwards ring by ring. Filtering and block compression mix neighbouring texels, and
// whatever colour hides under alpha 0 (often black) would otherwise show as dark fringes
// along the visible edges. Alpha is left unchanged; an image without any visible texel is
// returned as it is.
etc::Image bleedColourIntoTransparent(const etc::Image& image);

} // namespace texops

#endif
