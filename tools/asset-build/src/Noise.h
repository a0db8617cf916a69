#ifndef ASSET_BUILD_NOISE_H
#define ASSET_BUILD_NOISE_H

#include <cstdint>

namespace assets {

// Smooth value noise in [0, 1]: hashed lattice values blended with a quintic curve.
double valueNoise(double x, double y, std::uint32_t seed);

// Octaves of value noise, each twice the frequency and half the amplitude; in [0, 1].
double fractalNoise(double x, double y, int octaves, std::uint32_t seed);

} // namespace assets

#endif
