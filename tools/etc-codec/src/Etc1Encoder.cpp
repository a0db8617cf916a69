#include "Etc1Encoder.h"

#include "CompleteSubblockSearch.h"
#include "ComponentGrid.h"
#include "FastSubblockEncoder.h"
#include "NeighbourhoodSearch.h"
#include "SubblockSearch.h"

#include <algorithm>
#include <climits>
#include <iterator>

namespace etc {

namespace {

// Codes of the second half that a differential block allows next to `first`.
CodeRange secondHalfRange(const Rgb& first)
{
    return {{std::max(first.r - 4, 0), std::max(first.g - 4, 0), std::max(first.b - 4, 0)},
            {std::min(first.r + 3, 31), std::min(first.g + 3, 31), std::min(first.b + 3, 31)}};
}

CodeRange firstHalfRange(const Rgb& second)
{
    return {{std::max(second.r - 3, 0), std::max(second.g - 3, 0), std::max(second.b - 3, 0)},
            {std::min(second.r + 4, 31), std::min(second.g + 4, 31), std::min(second.b + 4, 31)}};
}

// Both halves at 5 bits; when their bases lie too far apart, one half is refitted inside
// the range the other allows. `constrained` reports that case.
HalfPair fitDifferential(const HalfTexels (&halves)[2], const HalfSearch& search, const SubblockEffort& effort,
                         bool& constrained)
{
    const CodeRange full = fullCodeRange(5);
    HalfPair pair{{fitHalf(halves[0], search, full, effort), fitHalf(halves[1], search, full, effort)}};
    constrained = !differentialDeltaFits(pair.fits[0].code, pair.fits[1].code);
    if (!constrained) {
        return pair;
    }
    HalfPair keepFirst{{pair.fits[0], fitHalf(halves[1], search, secondHalfRange(pair.fits[0].code), effort)}};
    HalfPair keepSecond{{fitHalf(halves[0], search, firstHalfRange(pair.fits[1].code), effort), pair.fits[1]}};
    return keepFirst.error() <= keepSecond.error() ? keepFirst : keepSecond;
}

HalfPair fitIndividual(const HalfTexels (&halves)[2], const HalfSearch& search, const SubblockEffort& effort)
{
    const CodeRange full = fullCodeRange(4);
    return {{fitHalf(halves[0], search, full, effort), fitHalf(halves[1], search, full, effort)}};
}

// Whether a half's palette reaches below 0 or above 255 in some component, where clamping
// changes the error.
bool reachesPastEnds(const HalfFit& fit, const HalfSearch& search)
{
    const int* modifiers = (*search.modifiers)[fit.table];
    const int lowest = *std::min_element(modifiers, modifiers + 4);
    const int highest = *std::max_element(modifiers, modifiers + 4);
    for (int code : {fit.code.r, fit.code.g, fit.code.b}) {
        const int value = gridValue(search.bits, code);
        if (value + lowest < 0 || value + highest > 255) {
            return true;
        }
    }
    return false;
}

// Clamping at 0 and 255 can put the best base far from where the unclamped error points: where
// a palette clamps, both bases step on the exact error, each inside the range the other allows.
HalfPair descendWhereClamped(const HalfTexels (&halves)[2], const HalfSearch& search, HalfPair pair,
                             const SubblockEffort& effort)
{
    const int steps = effort.exactSteps;
    const int longestStride = effort.thoroughSteps ? 2 : 1;
    HalfFit(&fits)[2] = pair.fits;
    if (steps == 0 || (!reachesPastEnds(fits[0], search) && !reachesPastEnds(fits[1], search))) {
        return pair;
    }
    const bool differential = search.bits == 5;
    const CodeRange full = fullCodeRange(search.bits);
    fits[0] = descendExactly(halves[0], search, differential ? firstHalfRange(fits[1].code) : full, fits[0], steps,
                             longestStride);
    fits[1] = descendExactly(halves[1], search, differential ? secondHalfRange(fits[0].code) : full, fits[1], steps,
                             longestStride);
    return pair;
}

// The refitted search, and the neighbourhood search where the effort asks for it, stepped on
// where it clamps.
HalfPair fitMode(const HalfTexels (&halves)[2], const HalfSearch& search, const SubblockEffort& effort,
                 bool& constrained)
{
    HalfPair found =
        search.bits == 5 ? fitDifferential(halves, search, effort, constrained) : fitIndividual(halves, search, effort);
    if (effort.neighbourhoodRadius == 0) {
        return descendWhereClamped(halves, search, found, effort);
    }
    HalfPair wide = searchNeighbourhood(halves, search, effort);
    // The steps end in different places from different starts.
    if (effort.thoroughSteps) {
        found = descendWhereClamped(halves, search, found, effort);
        wide = descendWhereClamped(halves, search, wide, effort);
        return wide.error() < found.error() ? wide : found;
    }
    return descendWhereClamped(halves, search, wide.error() < found.error() ? wide : found, effort);
}

SubblockCandidate toCandidate(const HalfPair& pair, const HalfTexels (&halves)[2], bool differential, bool flip,
                              const SubblockModeOptions& options)
{
    SubblockCandidate candidate;
    SubblockParams& p = candidate.params;
    p.differential = differential;
    p.flip = flip;
    std::fill(std::begin(p.selectors), std::end(p.selectors), options.uncountedSelector);
    for (int half = 0; half < 2; ++half) {
        p.base[half] = pair.fits[half].code;
        p.table[half] = pair.fits[half].table;
        for (int lane = 0; lane < texelsPerSubblock; ++lane) {
            if (halves[half].weight[lane] != 0) {
                p.selectors[halves[half].index[lane]] = pair.fits[half].selectors[lane];
            }
        }
    }
    candidate.error = pair.error();
    return candidate;
}

// How far the counted texels of both halves lie from their half's mean colour.
float halvesSpread(const HalfTexels (&halves)[2])
{
    float spread = 0;
    for (const HalfTexels& t : halves) {
        if (t.count == 0) {
            continue;
        }
        float sum[3] = {0, 0, 0};
        float squares = 0;
        for (int lane = 0; lane < texelsPerSubblock; ++lane) {
            sum[0] += t.weight[lane] * t.r[lane];
            sum[1] += t.weight[lane] * t.g[lane];
            sum[2] += t.weight[lane] * t.b[lane];
            squares += t.weight[lane] * (t.r[lane] * t.r[lane] + t.g[lane] * t.g[lane] + t.b[lane] * t.b[lane]);
        }
        spread += squares - (sum[0] * sum[0] + sum[1] * sum[1] + sum[2] * sum[2]) / t.count;
    }
    return spread;
}

} // namespace

SubblockCandidate encodeSubblockModes(const PixelBlock& block, const SubblockModeOptions& options,
                                      const SubblockEffort& effort)
{
    SubblockCandidate best;
    best.error = LONG_MAX;
    HalfSearch search;
    search.modifiers = options.modifiers;
    search.selectorMask = options.selectorMask;
    const HalfTexels byFlip[2][2] = {
        {gatherHalf(block, false, 0, options.counted), gatherHalf(block, false, 1, options.counted)},
        {gatherHalf(block, true, 0, options.counted), gatherHalf(block, true, 1, options.counted)}};
    if (effort.complete) {
        SubblockChoice choice;
        if (searchSubblocksCompletely(byFlip, search, options.allowIndividual, options.below, choice)) {
            best = toCandidate(choice.pair, byFlip[choice.flip ? 1 : 0], choice.differential, choice.flip, options);
        }
        return best;
    }
    // The flip whose halves spread less goes first; the other only if it spreads not much more.
    const float spreads[2] = {halvesSpread(byFlip[0]), halvesSpread(byFlip[1])};
    const int first = spreads[1] < spreads[0] ? 1 : 0;
    for (int flip : {first, 1 - first}) {
        if (flip != first && spreads[flip] > spreads[first] * effort.otherFlipSpread) {
            break;
        }
        const HalfTexels(&halves)[2] = byFlip[flip];
        search.bits = 5;
        bool constrained = false;
        const HalfPair differential = fitMode(halves, search, effort, constrained);
        if (differential.error() < best.error) {
            best = toCandidate(differential, halves, true, flip != 0, options);
        }
        if (options.allowIndividual && (constrained || effort.alwaysTryIndividual)) {
            search.bits = 4;
            const HalfPair individual = fitMode(halves, search, effort, constrained);
            if (individual.error() < best.error) {
                best = toCandidate(individual, halves, false, flip != 0, options);
            }
        }
    }
    return best;
}

std::uint64_t encodeEtc1Block(const PixelBlock& block, const SearchSettings& settings)
{
    if (settings.fastColourBlocks) {
        return encodeEtc1BlockFast(block);
    }
    return packSubblockMode(encodeSubblockModes(block, SubblockModeOptions{}, settings.etc1Subblocks).params);
}

} // namespace etc
