#include "PlanarEncoder.h"

#include "ComponentGrid.h"

#include <climits>
#include <cmath>
#include <iterator>

namespace etc {

namespace {

struct ChannelPlane {
    int codes[3] = {0, 0, 0}; // origin, horizontal, vertical
    int error = 0;
};

int planeError(const int* values, int bits, const int (&codes)[3])
{
    const int o = gridValue(bits, codes[0]);
    const int h = gridValue(bits, codes[1]);
    const int v = gridValue(bits, codes[2]);
    int error = 0;
    for (int i = 0; i < kBlockTexels; ++i) {
        error += squared(planarValue(o, h, v, i & 3, i >> 2) - values[i]);
    }
    return error;
}

// Least squares over the 16 texels for value = a + bx * x + by * y; the stored corners are
// O = a, H = a + 4 bx, V = a + 4 by.
ChannelPlane fitChannel(const int* values, int bits, bool neighbours)
{
    double sum = 0;
    double sumX = 0;
    double sumY = 0;
    for (int i = 0; i < kBlockTexels; ++i) {
        sum += values[i];
        sumX += ((i & 3) - 1.5) * values[i];
        sumY += ((i >> 2) - 1.5) * values[i];
    }
    // Each of x and y has 16 * 1.25 = 20 as its sum of squared deviations.
    const double bx = sumX / 20.0;
    const double by = sumY / 20.0;
    const double a = sum / 16.0 - 1.5 * bx - 1.5 * by;
    const double corners[3] = {a, a + 4 * bx, a + 4 * by};
    ChannelPlane best;
    for (int k = 0; k < 3; ++k) {
        best.codes[k] = nearestCode(bits, static_cast<int>(std::lround(corners[k])));
    }
    best.error = planeError(values, bits, best.codes);
    if (!neighbours) {
        return best;
    }
    const int top = (1 << bits) - 1;
    const ChannelPlane rounded = best;
    for (int d0 = -1; d0 <= 1; ++d0) {
        for (int d1 = -1; d1 <= 1; ++d1) {
            for (int d2 = -1; d2 <= 1; ++d2) {
                const int codes[3] = {rounded.codes[0] + d0, rounded.codes[1] + d1, rounded.codes[2] + d2};
                if (std::min({codes[0], codes[1], codes[2]}) < 0 || std::max({codes[0], codes[1], codes[2]}) > top) {
                    continue;
                }
                const int error = planeError(values, bits, codes);
                if (error < best.error) {
                    best.error = error;
                    std::copy(std::begin(codes), std::end(codes), best.codes);
                }
            }
        }
    }
    return best;
}

} // namespace

PlanarCandidate encodePlanarMode(const PixelBlock& block, const SearchSettings& settings)
{
    PlanarCandidate candidate;
    ChannelPlane planes[3];
    for (int c = 0; c < 3; ++c) {
        int values[kBlockTexels];
        for (int i = 0; i < kBlockTexels; ++i) {
            values[i] = block.rgba[i][c];
        }
        planes[c] = fitChannel(values, kPlanarBits[c], settings.planarNeighbours);
        candidate.error += planes[c].error;
    }
    PlanarParams& p = candidate.params;
    p.origin = {planes[0].codes[0], planes[1].codes[0], planes[2].codes[0]};
    p.horizontal = {planes[0].codes[1], planes[1].codes[1], planes[2].codes[1]};
    p.vertical = {planes[0].codes[2], planes[1].codes[2], planes[2].codes[2]};
    return candidate;
}

} // namespace etc
