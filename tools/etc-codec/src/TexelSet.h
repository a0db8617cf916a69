#ifndef ETC_TEXEL_SET_H
#define ETC_TEXEL_SET_H

#include "BlockLayout.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

// The inner loops of the colour searches: the texels of a block or half as float lanes
// (exact here: every sum stays far below 2^24), so that the compiler vectorises them. Texels
// the error leaves out (transparent ones) stay in their lanes with weight 0.
namespace etc {

template <int N>
struct TexelSet {
    int count = 0;     // texels that count
    int index[N] = {}; // raster index of each lane
    float r[N] = {}, g[N] = {}, b[N] = {};
    float weight[N] = {}; // 1 for texels that count, 0 otherwise
};

// Fills lanes 0..count-1 from the listed raster indices; `counted` may be null.
template <int N>
TexelSet<N> gatherTexels(const PixelBlock& block, const int* indices, const bool* counted)
{
    TexelSet<N> set;
    for (int lane = 0; lane < N; ++lane) {
        const int i = indices[lane];
        const std::uint8_t* t = block.rgba[i];
        set.index[lane] = i;
        set.r[lane] = t[0];
        set.g[lane] = t[1];
        set.b[lane] = t[2];
        const bool counts = counted == nullptr || counted[i];
        set.weight[lane] = counts ? 1.0f : 0.0f;
        set.count += counts ? 1 : 0;
    }
    return set;
}

// Up to four colours for the texels to choose from; entries left out lie far away.
struct Palette {
    float r[4], g[4], b[4];
};

constexpr float farAway = 1.0e4f;

inline void setPaletteEntry(Palette& palette, int entry, const Rgb& c, bool allowed)
{
    palette.r[entry] = allowed ? static_cast<float>(c.r) : farAway;
    palette.g[entry] = allowed ? static_cast<float>(c.g) : farAway;
    palette.b[entry] = allowed ? static_cast<float>(c.b) : farAway;
}

// Each lane's squared distance to its nearest palette entry, and that entry (kept as a float
// while searching, so that every lane array has the same width and the loop vectorises).
template <int N>
void nearestEntries(const TexelSet<N>& t, const Palette& p, float (&distance)[N], std::uint8_t (&entry)[N])
{
    float nearest[N];
    for (int lane = 0; lane < N; ++lane) {
        distance[lane] = farAway * farAway * 4;
        nearest[lane] = 0;
    }
    for (int e = 0; e < 4; ++e) {
        for (int lane = 0; lane < N; ++lane) {
            const float dr = p.r[e] - t.r[lane];
            const float dg = p.g[e] - t.g[lane];
            const float db = p.b[e] - t.b[lane];
            const float d = dr * dr + dg * dg + db * db;
            const bool nearer = d < distance[lane];
            distance[lane] = nearer ? d : distance[lane];
            nearest[lane] = nearer ? static_cast<float>(e) : nearest[lane];
        }
    }
    for (int lane = 0; lane < N; ++lane) {
        entry[lane] = static_cast<std::uint8_t>(nearest[lane]);
    }
}

// The summed error of the texels that count, each at its nearest entry.
template <int N>
int paletteError(const TexelSet<N>& t, const Palette& p)
{
    float distance[N];
    for (int lane = 0; lane < N; ++lane) {
        distance[lane] = farAway * farAway * 4;
    }
    for (int e = 0; e < 4; ++e) {
        for (int lane = 0; lane < N; ++lane) {
            const float dr = p.r[e] - t.r[lane];
            const float dg = p.g[e] - t.g[lane];
            const float db = p.b[e] - t.b[lane];
            distance[lane] = std::min(distance[lane], dr * dr + dg * dg + db * db);
        }
    }
    float sum = 0;
    for (int lane = 0; lane < N; ++lane) {
        sum += distance[lane] * t.weight[lane];
    }
    return static_cast<int>(sum);
}

// The same with each lane's entry kept: returns the error, fills `entries`.
template <int N>
int choosePaletteEntries(const TexelSet<N>& t, const Palette& p, std::uint8_t (&entries)[N])
{
    float distance[N];
    nearestEntries(t, p, distance, entries);
    float sum = 0;
    for (int lane = 0; lane < N; ++lane) {
        sum += distance[lane] * t.weight[lane];
    }
    return static_cast<int>(sum);
}

} // namespace etc

#endif
