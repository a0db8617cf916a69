#include "Noise.h"

#include "Prng.h"

#include <cmath>

namespace assets {

namespace {

double fade(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }

double lerp(double a, double b, double t) { return a + (b - a) * t; }

} // namespace

double valueNoise(double x, double y, std::uint32_t seed)
{
    const double fx = std::floor(x);
    const double fy = std::floor(y);
    const int ix = int(fx);
    const int iy = int(fy);
    const double tx = fade(x - fx);
    const double ty = fade(y - fy);
    const double top = lerp(latticeUnit(ix, iy, seed), latticeUnit(ix + 1, iy, seed), tx);
    const double bottom = lerp(latticeUnit(ix, iy + 1, seed), latticeUnit(ix + 1, iy + 1, seed), tx);
    return lerp(top, bottom, ty);
}

double fractalNoise(double x, double y, int octaves, std::uint32_t seed)
{
    double sum = 0;
    double amplitude = 1;
    double weight = 0;
    for (int octave = 0; octave < octaves; ++octave) {
        sum += amplitude * valueNoise(x, y, seed + std::uint32_t(octave) * 1013u);
        weight += amplitude;
        amplitude *= 0.5;
        x = x * 2 + 17.3;
        y = y * 2 + 5.1;
    }
    return sum / weight;
}

} // namespace assets
