#include "SubblockSearch.h"

#include "ComponentGrid.h"

#include <climits>
#include <iterator>

namespace etc {

namespace {

struct SelectorChoice {
    std::uint8_t selectors[kSubblockTexels];
    int error;
};

SelectorChoice chooseSelectors(const HalfTexels& t, const Rgb& base, const int* modifiers, unsigned mask)
{
    SelectorChoice choice{};
    choice.error = 0;
    Rgb candidates[4];
    for (int s = 0; s < 4; ++s) {
        candidates[s] = {clamp255(base.r + modifiers[s]), clamp255(base.g + modifiers[s]),
                         clamp255(base.b + modifiers[s])};
    }
    for (int i = 0; i < t.count; ++i) {
        int bestError = INT_MAX;
        int bestSelector = 0;
        for (int s = 0; s < 4; ++s) {
            if ((mask >> s & 1u) == 0) {
                continue;
            }
            const int error = squared(candidates[s].r - t.r[i]) + squared(candidates[s].g - t.g[i]) +
                              squared(candidates[s].b - t.b[i]);
            if (error < bestError) {
                bestError = error;
                bestSelector = s;
            }
        }
        choice.selectors[i] = static_cast<std::uint8_t>(bestSelector);
        choice.error += bestError;
    }
    return choice;
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
    int r = 0;
    int g = 0;
    int b = 0;
    for (int i = 0; i < t.count; ++i) {
        r += t.r[i];
        g += t.g[i];
        b += t.b[i];
    }
    const int half = t.count / 2;
    return clampCode({nearestCode(bits, (r + half) / t.count), nearestCode(bits, (g + half) / t.count),
                      nearestCode(bits, (b + half) / t.count)},
                     range);
}

// Refits each base component to the texels' current selectors.
Rgb refitBase(const HalfTexels& t, const std::uint8_t* selectors, const int* modifiers, int bits, const CodeRange& range)
{
    int offsets[kSubblockTexels];
    for (int i = 0; i < t.count; ++i) {
        offsets[i] = modifiers[selectors[i]];
    }
    return {fitComponent(t.r, offsets, t.count, bits, range.low.r, range.high.r).code,
            fitComponent(t.g, offsets, t.count, bits, range.low.g, range.high.g).code,
            fitComponent(t.b, offsets, t.count, bits, range.low.b, range.high.b).code};
}

void keepIfBetter(HalfFit& best, const Rgb& code, int table, const SelectorChoice& choice)
{
    if (choice.error < best.error) {
        best.code = code;
        best.table = table;
        best.error = choice.error;
        std::copy(std::begin(choice.selectors), std::end(choice.selectors), best.selectors);
    }
}

} // namespace

HalfTexels gatherHalf(const PixelBlock& block, bool flip, int half, const bool* counted)
{
    HalfTexels t;
    const int* indices = subblockTexels(flip, half);
    for (int k = 0; k < kSubblockTexels; ++k) {
        const int i = indices[k];
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

CodeRange fullCodeRange(int bits)
{
    const int top = (1 << bits) - 1;
    return {{0, 0, 0}, {top, top, top}};
}

HalfFit fitHalf(const HalfTexels& t, const HalfSearch& search, const CodeRange& range, const SearchSettings& settings)
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
        const SelectorChoice choice = chooseSelectors(t, startColor, modifiers[table], search.selectorMask);
        firstErrors[table] = choice.error;
        order[table] = table;
        keepIfBetter(best, start, table, choice);
    }
    std::sort(order, order + 8, [&](int a, int b) { return firstErrors[a] < firstErrors[b]; });

    for (int rank = 0; rank < settings.refinedTables; ++rank) {
        const int table = order[rank];
        Rgb code = start;
        SelectorChoice choice = chooseSelectors(t, startColor, modifiers[table], search.selectorMask);
        for (int round = 0; round < settings.refineRounds; ++round) {
            const Rgb refit = refitBase(t, choice.selectors, modifiers[table], search.bits, range);
            if (refit == code) {
                break;
            }
            code = refit;
            choice = chooseSelectors(t, widenCode(code, search.bits), modifiers[table], search.selectorMask);
            keepIfBetter(best, code, table, choice);
        }
    }
    return best;
}

} // namespace etc
