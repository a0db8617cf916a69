#ifndef ASSET_BUILD_CAROUSEL_PICTURES_H
#define ASSET_BUILD_CAROUSEL_PICTURES_H

#include "EtcCodec.h"

namespace assets {

// One picture per ETC2 / EAC format family, each showing what the format is for. All are
// 256 x 256. The EAC pictures carry their data in R (and G), 0..255 mapping to 0..1 for
// the unsigned formats and to -1..1 for the signed ones.
constexpr int carouselSize = 256;

// Rolling hills with a winding valley: heights in R.
etc::Image renderHeightMap();

// Ripples spreading from three drops and interfering: a signed height around 0 in R.
etc::Image renderRippleMap();

// Normals of a brick wall with bevelled bricks, mortar joints and a rough surface: X in R,
// Y in G (pointing up the picture), as signed values (0..255 for -1..1).
etc::Image renderBrickNormals();

// A mountain lake at sunset: colour for the RGB formats.
etc::Image renderLandscape();

// Soap bubbles: thin-film colours, nearly clear in the middle, denser at the rim, with a
// soft glow around them: smooth alpha for the RGBA formats.
etc::Image renderBubbles();

// A brass cog with spokes, bolt holes and a keyed hub: alpha 0 or 1 only, for the
// punch-through formats.
etc::Image renderCog();

} // namespace assets

#endif
