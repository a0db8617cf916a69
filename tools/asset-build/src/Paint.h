#ifndef ASSET_BUILD_PAINT_H
#define ASSET_BUILD_PAINT_H

#include "EtcCodec.h"

#include <cstdint>
#include <functional>

namespace assets {

// Colour with straight (not premultiplied) alpha, components 0..1, sRGB-encoded as they
// are stored.
struct Rgba {
    double r = 0, g = 0, b = 0, a = 1;
};

Rgba rgb(std::uint32_t hex, double alpha = 1);
Rgba mix(const Rgba& from, const Rgba& to, double t);
Rgba scaled(const Rgba& colour, double factor);

double clamp01(double value);
double smoothstep(double edge0, double edge1, double value);

// Renders `shade` (called with pixel-space coordinates, y down) at `samples` x `samples`
// points per pixel and stores the mean, colour weighted by alpha so that transparent
// samples do not darken the edges they share a pixel with.
etc::Image renderPicture(int width, int height, int samples, const std::function<Rgba(double x, double y)>& shade);

// Each pixel from a plain value in 0..1 per channel, no supersampling: for data maps
// (heights, normals) whose values are computed exactly per texel.
etc::Image renderData(int width, int height, const std::function<Rgba(int x, int y)>& value);

} // namespace assets

#endif
