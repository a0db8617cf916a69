#include "SubblockSearch.h"

#include "ComponentGrid.h"

#include <algorithm>
#include <climits>
#include <iterator>

namespace etc {

namespace {

Palette paletteOf(const Rgb& base, const int* modifiers, unsigned mask)
{
    Palette palette;
    for (int s = 0; s < 4; ++s) {
        const float m = static_cast<float>(modifiers[s]);
        const bool allowed = (mask >> s & 1u) != 0;
        palette.r[s] = allowed ? std::clamp(static_cast<float>(base.r) + m, 0.0f, 255.0f) : farAway;
        palette.g[s] = allowed ? std::clamp(static_cast<float>(base.g) + m, 0.0f, 255.0f) : farAway;
        palette.b[s] = allowed ? std::clamp(static_cast<float>(base.b) + m, 0.0f, 255.0f) : farAway;
    }
    return palette;
}

Rgb widenCode(const Rgb& code, int bits)
{
    return {gridValue(bits, code.r), gridValue(bits, code.g), gridValue(bits, code.b)};
}

Rgb clampCode(const Rgb& code, const CodeRange& range)
{
    return {std::clamp(code.r, range.low.r, range.high.r), std::clamp(code.g, range.low.g, range.high.g),
            std::clamp(code.b, range.low.b, range.high.b)};
}

Rgb averageCode(const HalfTexels& t, int bits, const CodeRange& range)
{
    float sum[3] = {0, 0, 0};
    for (int lane = 0; lane < texelsPerSubblock; ++lane) {
        sum[0] += t.weight[lane] * t.r[lane];
        sum[1] += t.weight[lane] * t.g[lane];
        sum[2] += t.weight[lane] * t.b[lane];
    }
    auto code = [&](float s) { return nearestCode(bits, static_cast<int>(std::lround(s / t.count))); };
    return clampCode({code(sum[0]), code(sum[1]), code(sum[2])}, range);
}

// Refits each base component to the texels' current selectors.
Rgb refitBase(const HalfTexels& t, const std::uint8_t (&selectors)[texelsPerSubblock], const int* modifiers, int bits,
              const CodeRange& range)
{
    float offsets[texelsPerSubblock];
    for (int lane = 0; lane < texelsPerSubblock; ++lane) {
        offsets[lane] = static_cast<float>(modifiers[selectors[lane]]);
    }
    const OffsetSpread spread = offsetSpread(offsets, t.weight);
    return {fitComponent(t.r, offsets, t.weight, spread, bits, range.low.r, range.high.r).code,
            fitComponent(t.g, offsets, t.weight, spread, bits, range.low.g, range.high.g).code,
            fitComponent(t.b, offsets, t.weight, spread, bits, range.low.b, range.high.b).code};
}

void keepIfBetter(HalfFit& best, const Rgb& code, int table, int error,
                  const std::uint8_t (&selectors)[texelsPerSubblock])
{
    if (error < best.error) {
        best.code = code;
        best.table = table;
        best.error = error;
        std::copy(std::begin(selectors), std::end(selectors), best.selectors);
    }
}

// A base code, its best table and their exact error.
struct ExactPoint {
    Rgb code;
    int table;
    int error;
};

// Moves the code `stride` codes at a time, along any components at once, while that lowers
// the exact error over every table; at most `steps` moves.
void stepWhileLower(const HalfTexels& t, const HalfSearch& search, const CodeRange& range, int stride, int steps,
                    ExactPoint& point)
{
    for (int step = 0; step < steps; ++step) {
        const Rgb from = point.code;
        for (int move = 0; move < 27; ++move) {
            const Rgb next{from.r + stride * (move / 9 - 1), from.g + stride * (move / 3 % 3 - 1),
                           from.b + stride * (move % 3 - 1)};
            if (move == 13 || !(clampCode(next, range) == next)) {
                continue;
            }
            const Rgb color = widenCode(next, search.bits);
            for (int table = 0; table < 8; ++table) {
                const int error = paletteError(t, paletteOf(color, (*search.modifiers)[table], search.selectorMask));
                if (error < point.error) {
                    point = {next, table, error};
                }
            }
        }
        if (point.code == from) {
            return;
        }
    }
}

} // namespace

HalfTexels gatherHalf(const PixelBlock& block, bool flip, int half, const bool* counted)
{
    return gatherTexels<texelsPerSubblock>(block, subblockTexels(flip, half), counted);
}

CodeRange fullCodeRange(int bits)
{
    const int top = (1 << bits) - 1;
    return {{0, 0, 0}, {top, top, top}};
}

HalfFit fitHalf(const HalfTexels& t, const HalfSearch& search, const CodeRange& range, const SubblockEffort& effort)
{
    HalfFit best;
    best.code = range.low;
    if (t.count == 0) {
        return best;
    }
    best.error = INT_MAX;
    const ModifierTables& modifiers = *search.modifiers;
    const Rgb start = averageCode(t, search.bits, range);
    const Rgb startColor = widenCode(start, search.bits);

    // Rank the tables by their error around the average colour.
    int firstErrors[8];
    int order[8];
    for (int table = 0; table < 8; ++table) {
        firstErrors[table] = paletteError(t, paletteOf(startColor, modifiers[table], search.selectorMask));
        order[table] = table;
    }
    std::sort(order, order + 8, [&](int a, int b) { return firstErrors[a] < firstErrors[b]; });

    for (int rank = 0; rank < effort.refinedTables; ++rank) {
        const int table = order[rank];
        Rgb code = start;
        std::uint8_t selectors[texelsPerSubblock];
        int error = choosePaletteEntries(t, paletteOf(startColor, modifiers[table], search.selectorMask), selectors);
        keepIfBetter(best, code, table, error, selectors);
        for (int round = 0; round < effort.refineRounds; ++round) {
            const Rgb refit = refitBase(t, selectors, modifiers[table], search.bits, range);
            if (refit == code) {
                break;
            }
            code = refit;
            error = choosePaletteEntries(
                t, paletteOf(widenCode(code, search.bits), modifiers[table], search.selectorMask), selectors);
            keepIfBetter(best, code, table, error, selectors);
        }
    }
    return best;
}

HalfFit fitTableAt(const HalfTexels& t, const Rgb& code, int table, const HalfSearch& search)
{
    HalfFit fit;
    fit.code = code;
    fit.table = table;
    fit.error = choosePaletteEntries(
        t, paletteOf(widenCode(code, search.bits), (*search.modifiers)[table], search.selectorMask), fit.selectors);
    return fit;
}

int halfError(const HalfTexels& t, const Rgb& code, int table, const HalfSearch& search)
{
    return paletteError(t, paletteOf(widenCode(code, search.bits), (*search.modifiers)[table], search.selectorMask));
}

HalfFit fitTablesAt(const HalfTexels& t, const Rgb& code, const HalfSearch& search)
{
    HalfFit best = fitTableAt(t, code, 0, search);
    for (int table = 1; table < 8; ++table) {
        const HalfFit fit = fitTableAt(t, code, table, search);
        if (fit.error < best.error) {
            best = fit;
        }
    }
    return best;
}

HalfFit descendExactly(const HalfTexels& t, const HalfSearch& search, const CodeRange& range, HalfFit start, int steps,
                       int longestStride)
{
    if (t.count == 0) {
        return start;
    }
    // Errors only while stepping; the selectors once, where the steps end.
    ExactPoint point{start.code, start.table, start.error};
    for (int stride = longestStride; stride >= 1; --stride) {
        stepWhileLower(t, search, range, stride, steps, point);
    }
    return point.code == start.code && point.table == start.table ? start
                                                                  : fitTableAt(t, point.code, point.table, search);
}

} // namespace etc
