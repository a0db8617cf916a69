#include "PlanarEncoder.h"

#include "ComponentGrid.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <iterator>

namespace etc {

namespace {

struct ChannelPlane {
    int codes[3] = {0, 0, 0}; // origin, horizontal, vertical
    int error = 0;
};

// Texel positions and values as float lanes, so that the compiler vectorises the error.
struct ChannelTexels {
    float x[texelsPerBlock];
    float y[texelsPerBlock];
    float value[texelsPerBlock];
};

// planarValue for every texel at once: the numerator is a whole number, so a truncating
// conversion after clamping below at 0 is the decoder's shift.
int planeError(const ChannelTexels& t, int bits, const int (&codes)[3])
{
    const float o = static_cast<float>(gridValue(bits, codes[0]));
    const float h = static_cast<float>(gridValue(bits, codes[1]));
    const float v = static_cast<float>(gridValue(bits, codes[2]));
    float sum = 0;
    for (int i = 0; i < texelsPerBlock; ++i) {
        const float numerator = std::max(t.x[i] * (h - o) + t.y[i] * (v - o) + 4 * o + 2, 0.0f);
        const float decoded = std::min(static_cast<float>(static_cast<int>(numerator * 0.25f)), 255.0f);
        const float d = decoded - t.value[i];
        sum += d * d;
    }
    return static_cast<int>(sum);
}

// Least squares over the 16 texels for value = a + bx * x + by * y; the stored corners are
// O = a, H = a + 4 bx, V = a + 4 by. The rounded corners then move by one code at a time
// while that lowers the exact error.
ChannelPlane fitChannel(const ChannelTexels& t, int bits, bool neighbours, bool jointMoves)
{
    double sum = 0;
    double sumX = 0;
    double sumY = 0;
    for (int i = 0; i < texelsPerBlock; ++i) {
        sum += t.value[i];
        sumX += (t.x[i] - 1.5) * t.value[i];
        sumY += (t.y[i] - 1.5) * t.value[i];
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
    best.error = planeError(t, bits, best.codes);
    const int top = (1 << bits) - 1;
    // One code at a time, or all three together: the corners of a plane pull on each other.
    const int moves = jointMoves ? 27 : 6;
    for (bool improved = neighbours; improved;) {
        improved = false;
        for (int move = 0; move < moves; ++move) {
            int codes[3] = {best.codes[0], best.codes[1], best.codes[2]};
            if (jointMoves) {
                codes[0] += move / 9 - 1;
                codes[1] += move / 3 % 3 - 1;
                codes[2] += move % 3 - 1;
            } else {
                codes[move / 2] += move % 2 == 0 ? -1 : 1;
            }
            if (std::min({codes[0], codes[1], codes[2]}) < 0 || std::max({codes[0], codes[1], codes[2]}) > top) {
                continue;
            }
            const int error = planeError(t, bits, codes);
            if (error < best.error) {
                best.error = error;
                std::copy(std::begin(codes), std::end(codes), best.codes);
                improved = true;
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
        ChannelTexels t;
        for (int i = 0; i < texelsPerBlock; ++i) {
            t.x[i] = static_cast<float>(i & 3);
            t.y[i] = static_cast<float>(i >> 2);
            t.value[i] = block.rgba[i][c];
        }
        planes[c] = fitChannel(t, planarBits[c], settings.planarNeighbours, settings.planarJointMoves);
        candidate.error += planes[c].error;
    }
    PlanarParams& p = candidate.params;
    p.origin = {planes[0].codes[0], planes[1].codes[0], planes[2].codes[0]};
    p.horizontal = {planes[0].codes[1], planes[1].codes[1], planes[2].codes[1]};
    p.vertical = {planes[0].codes[2], planes[1].codes[2], planes[2].codes[2]};
    return candidate;
}

} // namespace etc
