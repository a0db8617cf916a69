#ifndef TEXTURE_OPS_MIPMAP_H
#define TEXTURE_OPS_MIPMAP_H

#include "EtcCodec.h"

#include <vector>

namespace texops {

// How colour channels are averaged. Averaging sRGB-encoded values darkens mixed areas;
// sRGB textures are therefore filtered in linear light. Alpha is always averaged as stored.
enum class ColourSpace { Linear, Srgb };

// Levels of a full chain: each side halves (truncating, never below 1) down to 1 x 1.
int mipmapLevelCount(int width, int height);

// The next level: max(1, width / 2) x max(1, height / 2), each texel the area-weighted
// mean of the source texels it covers (a 2 x 2 box for even sides; odd sides spread the
// middle texel over both neighbours).
etc::Image halveImage(const etc::Image& image, ColourSpace space);

// Level 0 (the image itself) down to 1 x 1.
std::vector<etc::Image> buildMipmapChain(const etc::Image& base, ColourSpace space);

} // namespace texops

#endif
