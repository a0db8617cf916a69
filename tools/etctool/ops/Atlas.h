#ifndef TEXTURE_OPS_ATLAS_H
#define TEXTURE_OPS_ATLAS_H

#include "EtcCodec.h"

#include <vector>

namespace texops {

// Atlas layout: the colour image in the top half, its alpha plane (an image whose colour
// channels hold the alpha) in the bottom half, so a w x h picture becomes a w x 2h atlas.
// A shader reads colour at (s, t / 2) and alpha at (s, t / 2 + 0.5).
//
// Both images must have the same size.
etc::Image stackAtlas(const etc::Image& colour, const etc::Image& alphaPlane);

// Stacked levels halve exactly only while the picture's height halves exactly: it must be a
// power of two (any width will do).
bool canBuildAtlasChain(int width, int height);

// The atlas mipmap chain: every level exactly half the one before, down to 1 x 1, each
// level stacking the colour and alpha levels of the same index. The last levels of a chain
// are only one texel high and cannot hold both halves: they hold the colour level of the
// same size alone (for a 512 x 256 picture: level 9, 1 x 1, is colour level 9).
//
// Both chains must come from buildMipmapChain on images of the same size, and that size
// must pass canBuildAtlasChain.
std::vector<etc::Image> buildAtlasChain(const std::vector<etc::Image>& colourChain,
                                        const std::vector<etc::Image>& alphaChain);

} // namespace texops

#endif
