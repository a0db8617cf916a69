#include "Prng.h"

namespace assets {

std::uint64_t Prng::next()
{
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double Prng::unit() { return double(next() >> 11) * (1.0 / 9007199254740992.0); }

std::uint32_t hashLattice(int x, int y, std::uint32_t seed)
{
    std::uint32_t h = seed * 0x27D4EB2Du ^ std::uint32_t(x) * 0x85EBCA6Bu ^ std::uint32_t(y) * 0xC2B2AE35u;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

double latticeUnit(int x, int y, std::uint32_t seed)
{
    return double(hashLattice(x, y, seed) >> 8) * (1.0 / 16777216.0);
}

} // namespace assets
