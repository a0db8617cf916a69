#ifndef CODEC_TEST_PICTURES_H
#define CODEC_TEST_PICTURES_H

#include "BlockLayout.h"
#include "EtcCodec.h"

#include <vector>

// Small procedural pictures for the codec tests, each with the kind of content one format
// is made for. Deterministic: the same pixels every run.
namespace codectest {

// Smooth colour gradients with mild noise, hard-edged discs and a fine two-colour pattern.
etc::Image colourPicture(int width, int height);

// The colour picture with an alpha ramp and soft blobs in A.
etc::Image translucentPicture(int width, int height);

// The colour picture cut out: alpha 0 outside a wobbly disc, 255 inside.
etc::Image cutoutPicture(int width, int height);

// A smooth height field with ridges, grey in R, G and B.
etc::Image heightPicture(int width, int height);

// Tangent-space normals of bumps, x in R and y in G, with mild noise.
etc::Image normalPicture(int width, int height);

// Blocks of every kind a block encoder meets, in a fixed order: random colours (some
// saturated), flat colours, gradients, the extremes 0 and 255, two colours side by side
// or interleaved, and random alpha.
std::vector<etc::PixelBlock> variedBlocks();

} // namespace codectest

#endif
