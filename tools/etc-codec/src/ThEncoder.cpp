#include "ThEncoder.h"

#include "ComponentGrid.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <iterator>
#include <vector>

namespace etc {

namespace {

struct Texels {
    int count = 0;
    int index[kBlockTexels] = {};
    int r[kBlockTexels] = {};
    int g[kBlockTexels] = {};
    int b[kBlockTexels] = {};
};

Texels gatherTexels(const PixelBlock& block, const bool* counted)
{
    Texels t;
    for (int i = 0; i < kBlockTexels; ++i) {
        if (counted != nullptr && !counted[i]) {
            continue;
        }
        t.index[t.count] = i;
        t.r[t.count] = block.rgba[i][0];
        t.g[t.count] = block.rgba[i][1];
        t.b[t.count] = block.rgba[i][2];
        ++t.count;
    }
    return t;
}

// A split of the texels into two groups, by their order along the principal axis.
struct Partition {
    std::uint8_t group[kBlockTexels] = {};
    long cost = 0;
};

void principalAxis(const Texels& t, double (&axis)[3])
{
    double mean[3] = {0, 0, 0};
    for (int i = 0; i < t.count; ++i) {
        mean[0] += t.r[i];
        mean[1] += t.g[i];
        mean[2] += t.b[i];
    }
    for (double& m : mean) {
        m /= t.count;
    }
    double cov[3][3] = {};
    for (int i = 0; i < t.count; ++i) {
        const double d[3] = {t.r[i] - mean[0], t.g[i] - mean[1], t.b[i] - mean[2]};
        for (int a = 0; a < 3; ++a) {
            for (int b = 0; b < 3; ++b) {
                cov[a][b] += d[a] * d[b];
            }
        }
    }
    int widest = 0;
    for (int a = 1; a < 3; ++a) {
        if (cov[a][a] > cov[widest][widest]) {
            widest = a;
        }
    }
    for (int a = 0; a < 3; ++a) {
        axis[a] = cov[widest][a];
    }
    for (int iteration = 0; iteration < 4; ++iteration) {
        double next[3] = {};
        for (int a = 0; a < 3; ++a) {
            next[a] = cov[a][0] * axis[0] + cov[a][1] * axis[1] + cov[a][2] * axis[2];
        }
        const double length = std::sqrt(next[0] * next[0] + next[1] * next[1] + next[2] * next[2]);
        if (length == 0) {
            break;
        }
        for (int a = 0; a < 3; ++a) {
            axis[a] = next[a] / length;
        }
    }
}

// The `wanted` splits along the principal axis whose two groups have the least spread.
int bestPartitions(const Texels& t, int wanted, Partition* out)
{
    double axis[3];
    principalAxis(t, axis);
    int order[kBlockTexels];
    double projection[kBlockTexels];
    for (int i = 0; i < t.count; ++i) {
        order[i] = i;
        projection[i] = axis[0] * t.r[i] + axis[1] * t.g[i] + axis[2] * t.b[i];
    }
    std::sort(order, order + t.count, [&](int a, int b) { return projection[a] < projection[b]; });

    // Spread of a group = sum of squares - (sum)^2 / n, from running sums over the order.
    long total[4] = {0, 0, 0, 0};
    for (int i = 0; i < t.count; ++i) {
        total[0] += t.r[i];
        total[1] += t.g[i];
        total[2] += t.b[i];
        total[3] += squared(t.r[i]) + squared(t.g[i]) + squared(t.b[i]);
    }
    std::vector<std::pair<long, int>> splits;
    long prefix[4] = {0, 0, 0, 0};
    for (int s = 1; s < t.count; ++s) {
        const int i = order[s - 1];
        prefix[0] += t.r[i];
        prefix[1] += t.g[i];
        prefix[2] += t.b[i];
        prefix[3] += squared(t.r[i]) + squared(t.g[i]) + squared(t.b[i]);
        const long n1 = s;
        const long n2 = t.count - s;
        double spread = static_cast<double>(total[3]);
        double first = 0;
        double second = 0;
        for (int c = 0; c < 3; ++c) {
            first += static_cast<double>(prefix[c]) * prefix[c];
            second += static_cast<double>(total[c] - prefix[c]) * (total[c] - prefix[c]);
        }
        spread -= first / n1 + second / n2;
        splits.emplace_back(std::lround(spread), s);
    }
    std::sort(splits.begin(), splits.end());
    const int found = std::min<int>(wanted, static_cast<int>(splits.size()));
    for (int k = 0; k < found; ++k) {
        out[k].cost = splits[k].first;
        for (int rank = 0; rank < t.count; ++rank) {
            out[k].group[order[rank]] = rank < splits[k].second ? 0 : 1;
        }
    }
    return found;
}

Rgb groupMeanCode(const Texels& t, const Partition& partition, int group)
{
    int sum[3] = {0, 0, 0};
    int n = 0;
    for (int i = 0; i < t.count; ++i) {
        if (partition.group[i] == group) {
            sum[0] += t.r[i];
            sum[1] += t.g[i];
            sum[2] += t.b[i];
            ++n;
        }
    }
    if (n == 0) {
        return {};
    }
    return {nearestCode(4, (sum[0] + n / 2) / n), nearestCode(4, (sum[1] + n / 2) / n),
            nearestCode(4, (sum[2] + n / 2) / n)};
}

struct ModeSpec {
    bool hMode = false;
    // Punchthrough H blocks cannot swap their colours to express the distance's lowest bit
    // (the swap would move the transparent paint colour), so the order must already fit.
    bool fixedOrder = false;
    unsigned paintMask = 0xF;
};

int colorValue(const Rgb& c) { return (c.r << 16) | (c.g << 8) | c.b; }

bool orderExpressesDistance(const Rgb (&colors)[2], int distance)
{
    return (colorValue(colors[0]) >= colorValue(colors[1])) == ((distance & 1) != 0);
}

struct Fit {
    Rgb colors[2];
    std::uint8_t selectors[kBlockTexels] = {}; // per counted texel
    long error = LONG_MAX;
};

void chooseSelectors(const Texels& t, const ModeSpec& mode, int distance, Fit& fit)
{
    if (mode.hMode && mode.fixedOrder && !orderExpressesDistance(fit.colors, distance)) {
        fit.error = LONG_MAX;
        return;
    }
    const Rgb colors8[2] = {{extend4(fit.colors[0].r), extend4(fit.colors[0].g), extend4(fit.colors[0].b)},
                            {extend4(fit.colors[1].r), extend4(fit.colors[1].g), extend4(fit.colors[1].b)}};
    Rgb paint[4];
    thPaintColors(colors8, mode.hMode, distance, paint);
    fit.error = 0;
    for (int i = 0; i < t.count; ++i) {
        int bestError = INT_MAX;
        int bestPaint = 0;
        for (int s = 0; s < 4; ++s) {
            if ((mode.paintMask >> s & 1u) == 0) {
                continue;
            }
            const int error = squared(paint[s].r - t.r[i]) + squared(paint[s].g - t.g[i]) + squared(paint[s].b - t.b[i]);
            if (error < bestError) {
                bestError = error;
                bestPaint = s;
            }
        }
        fit.selectors[i] = static_cast<std::uint8_t>(bestPaint);
        fit.error += bestError;
    }
}

// Which base colour a paint colour derives from, and the offset added to it.
void paintSource(bool hMode, int paint, int d, int& color, int& offset)
{
    static const int kTOffsets[4] = {0, 1, 0, -1};
    if (hMode) {
        color = paint >> 1;
        offset = (paint & 1) ? -d : d;
    } else {
        color = paint == 0 ? 0 : 1;
        offset = kTOffsets[paint] * d;
    }
}

// Refits each base colour, component by component, to the texels that use it.
void refitColors(const Texels& t, bool hMode, int distance, Fit& fit)
{
    const int d = kThDistances[distance];
    for (int color = 0; color < 2; ++color) {
        int values[3][kBlockTexels];
        int offsets[kBlockTexels];
        int n = 0;
        for (int i = 0; i < t.count; ++i) {
            int source = 0;
            int offset = 0;
            paintSource(hMode, fit.selectors[i], d, source, offset);
            if (source != color) {
                continue;
            }
            values[0][n] = t.r[i];
            values[1][n] = t.g[i];
            values[2][n] = t.b[i];
            offsets[n] = offset;
            ++n;
        }
        if (n == 0) {
            continue;
        }
        fit.colors[color] = {fitComponent(values[0], offsets, n, 4, 0, 15).code,
                             fitComponent(values[1], offsets, n, 4, 0, 15).code,
                             fitComponent(values[2], offsets, n, 4, 0, 15).code};
    }
}

Fit refine(const Texels& t, const ModeSpec& mode, int distance, Fit fit, int rounds)
{
    Fit best = fit;
    for (int round = 0; round < rounds; ++round) {
        refitColors(t, mode.hMode, distance, fit);
        chooseSelectors(t, mode, distance, fit);
        if (fit.error >= best.error) {
            break;
        }
        best = fit;
    }
    return best;
}

struct ModeResult {
    Fit fit;
    int distance = 0;
};

// All distances from the seed colours, then refits for the two most promising.
ModeResult searchDistances(const Texels& t, const ModeSpec& mode, const Rgb (&seed)[2],
                           const SearchSettings& settings)
{
    Fit fits[8];
    int order[8];
    for (int distance = 0; distance < 8; ++distance) {
        fits[distance].colors[0] = seed[0];
        fits[distance].colors[1] = seed[1];
        chooseSelectors(t, mode, distance, fits[distance]);
        order[distance] = distance;
    }
    std::sort(order, order + 8, [&](int a, int b) { return fits[a].error < fits[b].error; });
    ModeResult best{fits[order[0]], order[0]};
    for (int rank = 0; rank < 2; ++rank) {
        const int distance = order[rank];
        const Fit refined = refine(t, mode, distance, fits[distance], settings.thRefineRounds);
        if (refined.error < best.fit.error) {
            best = {refined, distance};
        }
    }
    return best;
}

} // namespace

ThCandidate encodeThModes(const PixelBlock& block, const ThOptions& options, const SearchSettings& settings)
{
    ThCandidate best;
    best.error = LONG_MAX;
    const Texels t = gatherTexels(block, options.counted);
    if (t.count < 2) {
        return best;
    }
    Partition partitions[kBlockTexels];
    const int found = bestPartitions(t, settings.thPartitions, partitions);
    for (int k = 0; k < found; ++k) {
        const Rgb a = groupMeanCode(t, partitions[k], 0);
        const Rgb b = groupMeanCode(t, partitions[k], 1);
        // T takes either group as its lone colour; H is symmetric unless its order is fixed.
        const bool fixedOrder = options.paintMask != 0xF;
        struct Variant {
            ModeSpec mode;
            Rgb seed[2];
        };
        const Variant variants[4] = {{{false, false, options.paintMask}, {a, b}},
                                     {{false, false, options.paintMask}, {b, a}},
                                     {{true, fixedOrder, options.paintMask}, {a, b}},
                                     {{true, fixedOrder, options.paintMask}, {b, a}}};
        const int variantCount = fixedOrder ? 4 : 3;
        for (int v = 0; v < variantCount; ++v) {
            const Variant& variant = variants[v];
            const ModeResult result = searchDistances(t, variant.mode, variant.seed, settings);
            if (result.fit.error >= best.error) {
                continue;
            }
            best.error = result.fit.error;
            ThParams& p = best.params;
            p.hMode = variant.mode.hMode;
            p.color[0] = result.fit.colors[0];
            p.color[1] = result.fit.colors[1];
            p.distance = result.distance;
            std::fill(std::begin(p.selectors), std::end(p.selectors), options.uncountedSelector);
            for (int i = 0; i < t.count; ++i) {
                p.selectors[t.index[i]] = result.fit.selectors[i];
            }
        }
    }
    return best;
}

} // namespace etc
