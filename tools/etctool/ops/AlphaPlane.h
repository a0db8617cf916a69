#ifndef TEXTURE_OPS_ALPHA_PLANE_H
#define TEXTURE_OPS_ALPHA_PLANE_H

#include "EtcCodec.h"

#include <cstdint>
#include <vector>

namespace texops {

// The alpha plane as an opaque image whose three colour channels hold the alpha, so a
// colour-only format (ETC1) can carry it and a shader may read any colour channel.
etc::Image alphaPlaneImage(const etc::Image& rgba);

// The colour with alpha forced to 255.
etc::Image opaqueColourImage(const etc::Image& rgba);

// One channel (0 R, 1 G, 2 B, 3 A) as width x height bytes, rows from the top.
std::vector<std::uint8_t> channelPlane(const etc::Image& rgba, int channel);

} // namespace texops

#endif
