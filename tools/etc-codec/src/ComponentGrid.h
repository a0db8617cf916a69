#ifndef ETC_COMPONENT_GRID_H
#define ETC_COMPONENT_GRID_H

#include "BlockLayout.h"

#include <algorithm>
#include <cmath>

// The 8-bit values a stored colour component of 4 to 7 bits can take, and the search for
// the best stored value of one component once each texel's offset is known.
namespace etc {

inline int gridValue(int bits, int code)
{
    switch (bits) {
    case 4:
        return extend4(code);
    case 5:
        return extend5(code);
    case 6:
        return extend6(code);
    default:
        return extend7(code);
    }
}

// The code whose widened value lies nearest to `value` (clamped to 0..255 first).
int nearestCode(int bits, int value);

struct ComponentFit {
    int code = 0;
    int error = 0;
};

// Sum over the lanes of weight * (clamp255(base + offset) - value)^2.
template <int N>
float componentError(const float (&values)[N], const float (&offsets)[N], const float (&weights)[N], float base)
{
    float sum = 0;
    for (int lane = 0; lane < N; ++lane) {
        const float d = std::clamp(base + offsets[lane], 0.0f, 255.0f) - values[lane];
        sum += weights[lane] * d * d;
    }
    return sum;
}

// What the components of one colour share while they are fitted: the lanes' total weight and
// the lowest and highest offset among the lanes that weigh.
struct OffsetSpread {
    float total = 0;
    float lowest = 0;
    float highest = 0;
};

template <int N>
OffsetSpread offsetSpread(const float (&offsets)[N], const float (&weights)[N])
{
    OffsetSpread spread{0, 255, -255};
    for (int lane = 0; lane < N; ++lane) {
        spread.total += weights[lane];
    }
    for (int lane = 0; lane < N; ++lane) {
        spread.lowest = std::min(spread.lowest, weights[lane] != 0 ? offsets[lane] : 255.0f);
        spread.highest = std::max(spread.highest, weights[lane] != 0 ? offsets[lane] : -255.0f);
    }
    return spread;
}

// The code in [lowCode, highCode] that minimises componentError. Without clamping the error
// is a parabola around the weighted mean of value - offset, and the grid (evenly spaced to
// within a step of one) puts its minimum at the code nearest that mean; when some lane
// clamps near there, the neighbouring codes are compared as well.
template <int N>
ComponentFit fitComponent(const float (&values)[N], const float (&offsets)[N], const float (&weights)[N],
                          const OffsetSpread& spread, int bits, int lowCode, int highCode)
{
    if (spread.total == 0) {
        return {lowCode, 0};
    }
    float sum = 0;
    for (int lane = 0; lane < N; ++lane) {
        sum += weights[lane] * (values[lane] - offsets[lane]);
    }
    const float mean = sum / spread.total;
    int centre = std::clamp(nearestCode(bits, static_cast<int>(std::lrint(mean))), lowCode, highCode);
    // The rounded mean can sit on the wrong side of a midpoint between two codes.
    for (int code : {centre - 1, centre + 1}) {
        if (code >= lowCode && code <= highCode &&
            std::abs(gridValue(bits, code) - mean) < std::abs(gridValue(bits, centre) - mean)) {
            centre = code;
        }
    }
    ComponentFit best{centre, static_cast<int>(componentError(values, offsets, weights, gridValue(bits, centre)))};
    const int below = gridValue(bits, std::max(centre - 1, 0));
    const int above = gridValue(bits, std::min(centre + 1, (1 << bits) - 1));
    const bool clampsNearby = below + spread.lowest < 0 || above + spread.highest > 255;
    const bool atRangeEnd = centre == lowCode || centre == highCode;
    if (!clampsNearby && !atRangeEnd) {
        return best;
    }
    for (int code : {centre - 1, centre + 1}) {
        if (code < lowCode || code > highCode) {
            continue;
        }
        const int error = static_cast<int>(componentError(values, offsets, weights, gridValue(bits, code)));
        if (error < best.error) {
            best = {code, error};
        }
    }
    return best;
}

} // namespace etc

#endif
