#include "NeighbourhoodSearch.h"

#include "ComponentGrid.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <iterator>
#include <limits>

namespace etc {

namespace {

// Wider boxes would cost more than they find: the error grows fast away from the mean.
constexpr int mostRadius = 3;
// Differential halves far apart meet in the middle: the box covers the allowed step and the
// radius around the midpoint.
constexpr int mostSpan = 2 * mostRadius + 9;
constexpr int mostCodes = mostSpan * mostSpan * mostSpan;
constexpr int mostRescored = 16;
constexpr float nothing = std::numeric_limits<float>::max();

// Codes low[c] .. low[c] + size[c] - 1 per component, indexed (r * size[1] + g) * size[2] + b.
struct CodeBox {
    int low[3] = {0, 0, 0};
    int size[3] = {0, 0, 0};
    int count() const { return size[0] * size[1] * size[2]; }
    Rgb code(int index) const
    {
        const int b = index % size[2];
        const int g = index / size[2] % size[1];
        const int r = index / (size[1] * size[2]);
        return {low[0] + r, low[1] + g, low[2] + b};
    }
};

void meanCode(const HalfTexels& t, int bits, int (&code)[3])
{
    float sum[3] = {0, 0, 0};
    for (int lane = 0; lane < texelsPerSubblock; ++lane) {
        sum[0] += t.weight[lane] * t.r[lane];
        sum[1] += t.weight[lane] * t.g[lane];
        sum[2] += t.weight[lane] * t.b[lane];
    }
    for (int c = 0; c < 3; ++c) {
        code[c] = nearestCode(bits, static_cast<int>(std::lround(sum[c] / t.count)));
    }
}

// The box around `first` and `second` (the same centre for one half alone).
CodeBox boxAround(const int (&first)[3], const int (&second)[3], int radius, int bits)
{
    const int top = (1 << bits) - 1;
    CodeBox box;
    for (int c = 0; c < 3; ++c) {
        int low = std::min(first[c], second[c]) - radius;
        int high = std::max(first[c], second[c]) + radius;
        if (high - low + 1 > 2 * radius + 9) {
            const int middle = (first[c] + second[c]) / 2;
            low = middle - radius - 4;
            high = middle + radius + 4;
        }
        box.low[c] = std::max(low, 0);
        box.size[c] = std::min(high, top) - box.low[c] + 1;
    }
    return box;
}

// 3 m^2 per modifier (far away for those left out) and m.
struct ModifierTerms {
    float square[4];
    float modifier[4];
};

// The part of a half's error that depends on the base's component sum alone, lowest over the
// tables, worked out for a sum when first asked for.
class SumTerms {
public:
    SumTerms(const HalfTexels& t, const HalfSearch& search) : texels(t)
    {
        for (int table = 0; table < 8; ++table) {
            for (int e = 0; e < 4; ++e) {
                const bool allowed = (search.selectorMask >> e & 1u) != 0;
                const float m = static_cast<float>((*search.modifiers)[table][e]);
                tables[table].modifier[e] = m;
                tables[table].square[e] = allowed ? 3 * m * m : farAway * farAway;
            }
        }
        for (int lane = 0; lane < texelsPerSubblock; ++lane) {
            texelSums[lane] = t.r[lane] + t.g[lane] + t.b[lane];
        }
        std::fill(std::begin(known), std::end(known), false);
    }

    float at(int sum)
    {
        if (!known[sum]) {
            workOut(sum);
            known[sum] = true;
        }
        return terms[sum];
    }

    // The table that term comes from.
    int tableAt(int sum) const { return bestTables[sum]; }

private:
    void workOut(int sum)
    {
        float twiceOffset[texelsPerSubblock];
        for (int lane = 0; lane < texelsPerSubblock; ++lane) {
            twiceOffset[lane] = 2 * (static_cast<float>(sum) - texelSums[lane]);
        }
        float best = nothing;
        for (int index = 0; index < 8; ++index) {
            const ModifierTerms& table = tables[index];
            float lowest[texelsPerSubblock];
            for (int lane = 0; lane < texelsPerSubblock; ++lane) {
                lowest[lane] = table.square[0] + table.modifier[0] * twiceOffset[lane];
            }
            for (int e = 1; e < 4; ++e) {
                for (int lane = 0; lane < texelsPerSubblock; ++lane) {
                    lowest[lane] = std::min(lowest[lane], table.square[e] + table.modifier[e] * twiceOffset[lane]);
                }
            }
            float total = 0;
            for (int lane = 0; lane < texelsPerSubblock; ++lane) {
                total += texels.weight[lane] * lowest[lane];
            }
            if (total < best) {
                best = total;
                bestTables[sum] = static_cast<std::uint8_t>(index);
            }
        }
        terms[sum] = best;
    }

    static constexpr int sums = 3 * 255 + 1;
    const HalfTexels& texels;
    ModifierTerms tables[8];
    float texelSums[texelsPerSubblock];
    bool known[sums];
    float terms[sums];
    std::uint8_t bestTables[sums];
};

// The unclamped error of every code of the box for one half, lowest over the tables, and
// the table it comes from.
struct BoxErrors {
    float error[mostCodes];
    std::uint8_t table[mostCodes];
};

void tabulateErrors(const HalfTexels& t, const HalfSearch& search, const CodeBox& box, BoxErrors& errors)
{
    int values[3][mostSpan];
    float componentTerms[3][mostSpan];
    const float* channels[3] = {t.r, t.g, t.b};
    for (int c = 0; c < 3; ++c) {
        for (int i = 0; i < box.size[c]; ++i) {
            values[c][i] = gridValue(search.bits, box.low[c] + i);
            float sum = 0;
            for (int lane = 0; lane < texelsPerSubblock; ++lane) {
                const float d = static_cast<float>(values[c][i]) - channels[c][lane];
                sum += t.weight[lane] * d * d;
            }
            componentTerms[c][i] = sum;
        }
    }
    SumTerms sumTerms(t, search);
    int index = 0;
    for (int r = 0; r < box.size[0]; ++r) {
        for (int g = 0; g < box.size[1]; ++g) {
            const float rg = componentTerms[0][r] + componentTerms[1][g];
            const int rgSum = values[0][r] + values[1][g];
            for (int b = 0; b < box.size[2]; ++b) {
                const int sum = rgSum + values[2][b];
                errors.error[index] = rg + componentTerms[2][b] + sumTerms.at(sum);
                errors.table[index++] = static_cast<std::uint8_t>(sumTerms.tableAt(sum));
            }
        }
    }
}

// For every code of the box, the lowest error (and its code) among the codes a differential
// second half may take beside it: offsets -4..3 per component, one axis at a time.
void nearbyMinimum(const CodeBox& box, const float* errors, float* lowest, int* where)
{
    const int strides[3] = {box.size[1] * box.size[2], box.size[2], 1};
    float from[mostCodes];
    int fromWhere[mostCodes];
    for (int i = 0; i < box.count(); ++i) {
        lowest[i] = errors[i];
        where[i] = i;
    }
    for (int axis = 0; axis < 3; ++axis) {
        std::copy(lowest, lowest + box.count(), from);
        std::copy(where, where + box.count(), fromWhere);
        const int stride = strides[axis];
        for (int i = 0; i < box.count(); ++i) {
            const int position = i / stride % box.size[axis];
            float best = nothing;
            int bestWhere = -1;
            for (int step = std::max(-4, -position); step <= std::min(3, box.size[axis] - 1 - position); ++step) {
                const int j = i + step * stride;
                if (from[j] < best) {
                    best = from[j];
                    bestWhere = fromWhere[j];
                }
            }
            lowest[i] = best;
            where[i] = bestWhere;
        }
    }
}

// The indices of the `wanted` lowest scores, lowest first.
int lowestScores(const float* scores, int count, int wanted, int* out)
{
    int found = 0;
    for (int i = 0; i < count; ++i) {
        if (scores[i] == nothing || (found == wanted && scores[i] >= scores[out[found - 1]])) {
            continue;
        }
        int at = std::min(found, wanted - 1);
        while (at > 0 && scores[out[at - 1]] > scores[i]) {
            out[at] = out[at - 1];
            --at;
        }
        out[at] = i;
        found = std::min(found + 1, wanted);
    }
    return found;
}

// The exact error, clamping included, of a code with the table the unclamped error chose.
HalfFit rescore(const HalfTexels& t, const HalfSearch& search, const CodeBox& box, const BoxErrors& errors, int index)
{
    return fitTableAt(t, box.code(index), errors.table[index], search);
}

HalfPair pairDifferential(const HalfTexels (&halves)[2], const HalfSearch& search, const CodeBox& box,
                          const BoxErrors (&errors)[2], int rescored)
{
    float nearby[mostCodes];
    int nearbyCode[mostCodes];
    nearbyMinimum(box, errors[1].error, nearby, nearbyCode);
    float scores[mostCodes];
    for (int i = 0; i < box.count(); ++i) {
        scores[i] = errors[0].error[i] + nearby[i];
    }
    int order[mostRescored];
    const int found = lowestScores(scores, box.count(), rescored, order);
    HalfPair best;
    best.fits[0].error = best.fits[1].error = INT_MAX;
    for (int k = 0; k < found; ++k) {
        const HalfPair pair{{rescore(halves[0], search, box, errors[0], order[k]),
                             rescore(halves[1], search, box, errors[1], nearbyCode[order[k]])}};
        if (pair.error() < best.error()) {
            best = pair;
        }
    }
    return best;
}

HalfFit bestOfHalf(const HalfTexels& t, const HalfSearch& search, const CodeBox& box, const BoxErrors& errors,
                   int rescored)
{
    int order[mostRescored];
    const int found = lowestScores(errors.error, box.count(), rescored, order);
    HalfFit best;
    best.error = INT_MAX;
    for (int k = 0; k < found; ++k) {
        const HalfFit fit = rescore(t, search, box, errors, order[k]);
        if (fit.error < best.error) {
            best = fit;
        }
    }
    return best;
}

} // namespace

HalfPair searchNeighbourhood(const HalfTexels (&halves)[2], const HalfSearch& search, const SubblockEffort& effort)
{
    HalfPair pair;
    pair.fits[0].error = pair.fits[1].error = INT_MAX;
    if (halves[0].count == 0 || halves[1].count == 0) {
        return pair;
    }
    const int radius = std::min(effort.neighbourhoodRadius, mostRadius);
    const int rescored = std::clamp(effort.rescoredPairs, 1, mostRescored);
    int centres[2][3];
    meanCode(halves[0], search.bits, centres[0]);
    meanCode(halves[1], search.bits, centres[1]);
    BoxErrors errors[2];
    if (search.bits == 5) {
        const CodeBox box = boxAround(centres[0], centres[1], radius, search.bits);
        tabulateErrors(halves[0], search, box, errors[0]);
        tabulateErrors(halves[1], search, box, errors[1]);
        return pairDifferential(halves, search, box, errors, rescored);
    }
    for (int half = 0; half < 2; ++half) {
        const CodeBox box = boxAround(centres[half], centres[half], radius, search.bits);
        tabulateErrors(halves[half], search, box, errors[half]);
        pair.fits[half] = bestOfHalf(halves[half], search, box, errors[half], rescored);
    }
    return pair;
}

} // namespace etc
