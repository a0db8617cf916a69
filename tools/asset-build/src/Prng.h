#ifndef ASSET_BUILD_PRNG_H
#define ASSET_BUILD_PRNG_H

#include <cstdint>

namespace assets {

// SplitMix64: a fixed, fully specified generator, so the generated assets are the same
// bytes on every build and every C library (rand() sequences differ between them).
class Prng {
public:
    explicit Prng(std::uint64_t seed) : state(seed) { }

    std::uint64_t next();
    // Uniform in [0, 1).
    double unit();
    double range(double low, double high) { return low + (high - low) * unit(); }

private:
    std::uint64_t state;
};

// A well-mixed 32-bit hash of a lattice point, for noise that needs no stored state.
std::uint32_t hashLattice(int x, int y, std::uint32_t seed);

// The same hash as a value in [0, 1).
double latticeUnit(int x, int y, std::uint32_t seed);

} // namespace assets

#endif
