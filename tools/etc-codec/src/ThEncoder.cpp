#include "ThEncoder.h"

#include "ComponentGrid.h"
#include "TexelSet.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <iterator>
#include <utility>

namespace etc {

namespace {

using BlockTexels = TexelSet<texelsPerBlock>;

const int rasterOrder[texelsPerBlock] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};

// A split of the counted texels into two groups, by their order along the principal axis.
struct Partition {
    std::uint8_t group[texelsPerBlock] = {};
};

void principalAxis(const BlockTexels& t, double (&axis)[3])
{
    double mean[3] = {0, 0, 0};
    for (int lane = 0; lane < texelsPerBlock; ++lane) {
        mean[0] += t.weight[lane] * t.r[lane];
        mean[1] += t.weight[lane] * t.g[lane];
        mean[2] += t.weight[lane] * t.b[lane];
    }
    for (double& m : mean) {
        m /= t.count;
    }
    double cov[3][3] = {};
    for (int lane = 0; lane < texelsPerBlock; ++lane) {
        const double d[3] = {t.r[lane] - mean[0], t.g[lane] - mean[1], t.b[lane] - mean[2]};
        for (int a = 0; a < 3; ++a) {
            for (int b = 0; b < 3; ++b) {
                cov[a][b] += t.weight[lane] * d[a] * d[b];
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
int bestPartitions(const BlockTexels& t, int wanted, Partition* out)
{
    double axis[3];
    principalAxis(t, axis);
    int order[texelsPerBlock];
    double projection[texelsPerBlock];
    int n = 0;
    for (int lane = 0; lane < texelsPerBlock; ++lane) {
        if (t.weight[lane] != 0) {
            order[n++] = lane;
        }
        projection[lane] = axis[0] * t.r[lane] + axis[1] * t.g[lane] + axis[2] * t.b[lane];
    }
    std::sort(order, order + n, [&](int a, int b) { return projection[a] < projection[b]; });

    // Spread of a group = sum of squares - (sum)^2 / size, from running sums over the order.
    double total[4] = {0, 0, 0, 0};
    for (int k = 0; k < n; ++k) {
        const int lane = order[k];
        total[0] += t.r[lane];
        total[1] += t.g[lane];
        total[2] += t.b[lane];
        total[3] += t.r[lane] * t.r[lane] + t.g[lane] * t.g[lane] + t.b[lane] * t.b[lane];
    }
    std::pair<double, int> splits[texelsPerBlock];
    double prefix[4] = {0, 0, 0, 0};
    for (int s = 1; s < n; ++s) {
        const int lane = order[s - 1];
        prefix[0] += t.r[lane];
        prefix[1] += t.g[lane];
        prefix[2] += t.b[lane];
        prefix[3] += t.r[lane] * t.r[lane] + t.g[lane] * t.g[lane] + t.b[lane] * t.b[lane];
        double first = 0;
        double second = 0;
        for (int c = 0; c < 3; ++c) {
            first += prefix[c] * prefix[c];
            second += (total[c] - prefix[c]) * (total[c] - prefix[c]);
        }
        splits[s - 1] = {total[3] - first / s - second / (n - s), s};
    }
    std::sort(splits, splits + n - 1);
    const int found = std::min(wanted, n - 1);
    for (int k = 0; k < found; ++k) {
        for (int rank = 0; rank < n; ++rank) {
            out[k].group[order[rank]] = rank < splits[k].second ? 0 : 1;
        }
    }
    return found;
}

// A group's seed colour: its mean moved along the grey axis to the middle of the group's
// brightness range, which is exactly the base of a group made of base + d, base (in T mode)
// and base - d whatever the counts.
Rgb groupSeedCode(const BlockTexels& t, const Partition& partition, int group)
{
    float sum[3] = {0, 0, 0};
    float n = 0;
    for (int lane = 0; lane < texelsPerBlock; ++lane) {
        const float w = partition.group[lane] == group ? t.weight[lane] : 0.0f;
        sum[0] += w * t.r[lane];
        sum[1] += w * t.g[lane];
        sum[2] += w * t.b[lane];
        n += w;
    }
    if (n == 0) {
        return {};
    }
    const float mean[3] = {sum[0] / n, sum[1] / n, sum[2] / n};
    float brightest = -1000;
    float darkest = 1000;
    for (int lane = 0; lane < texelsPerBlock; ++lane) {
        if (partition.group[lane] == group && t.weight[lane] != 0) {
            const float shift = (t.r[lane] - mean[0] + t.g[lane] - mean[1] + t.b[lane] - mean[2]) / 3;
            brightest = std::max(brightest, shift);
            darkest = std::min(darkest, shift);
        }
    }
    const float middle = (brightest + darkest) / 2;
    auto code = [&](float v) { return nearestCode(4, static_cast<int>(std::lround(v + middle))); };
    return {code(mean[0]), code(mean[1]), code(mean[2])};
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
    std::uint8_t selectors[texelsPerBlock] = {}; // per lane
    long error = LONG_MAX;
};

Palette paintPalette(const Fit& fit, const ModeSpec& mode, int distance)
{
    const Rgb colors8[2] = {{extend4(fit.colors[0].r), extend4(fit.colors[0].g), extend4(fit.colors[0].b)},
                            {extend4(fit.colors[1].r), extend4(fit.colors[1].g), extend4(fit.colors[1].b)}};
    Rgb paint[4];
    thPaintColors(colors8, mode.hMode, distance, paint);
    Palette palette;
    for (int s = 0; s < 4; ++s) {
        setPaletteEntry(palette, s, paint[s], (mode.paintMask >> s & 1u) != 0);
    }
    return palette;
}

bool expressible(const Fit& fit, const ModeSpec& mode, int distance)
{
    return !(mode.hMode && mode.fixedOrder && !orderExpressesDistance(fit.colors, distance));
}

void chooseSelectors(const BlockTexels& t, const ModeSpec& mode, int distance, Fit& fit)
{
    fit.error = expressible(fit, mode, distance)
        ? choosePaletteEntries(t, paintPalette(fit, mode, distance), fit.selectors)
        : LONG_MAX;
}

// Which base colour a paint colour derives from, and the offset added to it.
void paintSource(bool hMode, int paint, int d, int& color, int& offset)
{
    static const int tOffsets[4] = {0, 1, 0, -1};
    if (hMode) {
        color = paint >> 1;
        offset = (paint & 1) ? -d : d;
    } else {
        color = paint == 0 ? 0 : 1;
        offset = tOffsets[paint] * d;
    }
}

// Refits each base colour, component by component, to the texels that use it.
void refitColors(const BlockTexels& t, bool hMode, int distance, Fit& fit)
{
    const int d = thDistances[distance];
    for (int color = 0; color < 2; ++color) {
        float weights[texelsPerBlock];
        float offsets[texelsPerBlock];
        float used = 0;
        for (int lane = 0; lane < texelsPerBlock; ++lane) {
            int source = 0;
            int offset = 0;
            paintSource(hMode, fit.selectors[lane], d, source, offset);
            weights[lane] = source == color ? t.weight[lane] : 0.0f;
            offsets[lane] = static_cast<float>(offset);
            used += weights[lane];
        }
        if (used == 0) {
            continue;
        }
        const OffsetSpread spread = offsetSpread(offsets, weights);
        fit.colors[color] = {fitComponent(t.r, offsets, weights, spread, 4, 0, 15).code,
                             fitComponent(t.g, offsets, weights, spread, 4, 0, 15).code,
                             fitComponent(t.b, offsets, weights, spread, 4, 0, 15).code};
    }
}

Fit refine(const BlockTexels& t, const ModeSpec& mode, int distance, Fit fit, int rounds)
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

long paintError(const BlockTexels& t, const ModeSpec& mode, int distance, const Fit& fit)
{
    return expressible(fit, mode, distance) ? paletteError(t, paintPalette(fit, mode, distance)) : LONG_MAX;
}

// Moves one colour a step in any direction, or the distance a step, on the exact error while
// that lowers it; at most `steps` moves. Refits settle where the selectors stop changing, not
// where the error stops falling.
ModeResult descendExactly(const BlockTexels& t, const ModeSpec& mode, ModeResult start, int steps)
{
    Fit fit = start.fit;
    int distance = start.distance;
    long error = start.fit.error;
    for (int step = 0; step < steps; ++step) {
        const Fit from = fit;
        const int fromDistance = distance;
        bool improved = false;
        for (int color = 0; color < 2; ++color) {
            for (int move = 0; move < 27; ++move) {
                Fit next = from;
                Rgb& c = next.colors[color];
                c = {c.r + move / 9 - 1, c.g + move / 3 % 3 - 1, c.b + move % 3 - 1};
                if (move == 13 || std::min({c.r, c.g, c.b}) < 0 || std::max({c.r, c.g, c.b}) > 15) {
                    continue;
                }
                const long nextError = paintError(t, mode, fromDistance, next);
                if (nextError < error) {
                    fit = next;
                    distance = fromDistance;
                    error = nextError;
                    improved = true;
                }
            }
        }
        for (int nextDistance : {fromDistance - 1, fromDistance + 1}) {
            if (nextDistance < 0 || nextDistance > 7) {
                continue;
            }
            const long nextError = paintError(t, mode, nextDistance, from);
            if (nextError < error) {
                fit = from;
                distance = nextDistance;
                error = nextError;
                improved = true;
            }
        }
        if (!improved) {
            break;
        }
    }
    if (distance == start.distance && fit.colors[0] == start.fit.colors[0] && fit.colors[1] == start.fit.colors[1]) {
        return start;
    }
    chooseSelectors(t, mode, distance, fit);
    return {fit, distance};
}

// Every distance from the seed colours (error only), then selectors and refits for the most
// promising ones.
ModeResult searchDistances(const BlockTexels& t, const ModeSpec& mode, const Rgb (&seed)[2],
                           const SearchSettings& settings)
{
    Fit seeded;
    seeded.colors[0] = seed[0];
    seeded.colors[1] = seed[1];
    long errors[8];
    int order[8];
    for (int distance = 0; distance < 8; ++distance) {
        errors[distance] =
            expressible(seeded, mode, distance) ? paletteError(t, paintPalette(seeded, mode, distance)) : LONG_MAX;
        order[distance] = distance;
    }
    std::sort(order, order + 8, [&](int a, int b) { return errors[a] < errors[b]; });
    ModeResult best;
    for (int rank = 0; rank < settings.thRefinedDistances; ++rank) {
        const int distance = order[rank];
        Fit fit = seeded;
        chooseSelectors(t, mode, distance, fit);
        const Fit refined = refine(t, mode, distance, fit, settings.thRefineRounds);
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
    const BlockTexels t = gatherTexels<texelsPerBlock>(block, rasterOrder, options.counted);
    if (t.count < 2) {
        return best;
    }
    Partition partitions[texelsPerBlock];
    const int found = bestPartitions(t, settings.thPartitions, partitions);
    // The best of T and the best of H apart: each is stepped on before they compete.
    ModeResult bestResults[2];
    ModeSpec bestModes[2];
    for (int k = options.skippedPartitions; k < found; ++k) {
        const Rgb a = groupSeedCode(t, partitions[k], 0);
        const Rgb b = groupSeedCode(t, partitions[k], 1);
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
            const ModeResult result = searchDistances(t, variants[v].mode, variants[v].seed, settings);
            const int h = variants[v].mode.hMode ? 1 : 0;
            if (result.fit.error < bestResults[h].fit.error) {
                bestResults[h] = result;
                bestModes[h] = variants[v].mode;
            }
        }
    }
    for (int h = 0; h < 2; ++h) {
        if (settings.thExactSteps > 0 && bestResults[h].fit.error != LONG_MAX) {
            bestResults[h] = descendExactly(t, bestModes[h], bestResults[h], settings.thExactSteps);
        }
    }
    const int winner = bestResults[1].fit.error < bestResults[0].fit.error ? 1 : 0;
    const ModeResult& bestResult = bestResults[winner];
    const ModeSpec& bestMode = bestModes[winner];
    if (bestResult.fit.error == LONG_MAX) {
        return best;
    }
    best.error = bestResult.fit.error;
    ThParams& p = best.params;
    p.hMode = bestMode.hMode;
    p.color[0] = bestResult.fit.colors[0];
    p.color[1] = bestResult.fit.colors[1];
    p.distance = bestResult.distance;
    for (int lane = 0; lane < texelsPerBlock; ++lane) {
        p.selectors[lane] = t.weight[lane] != 0 ? bestResult.fit.selectors[lane] : options.uncountedSelector;
    }
    return best;
}

} // namespace etc
