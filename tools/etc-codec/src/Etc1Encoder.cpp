#include "Etc1Encoder.h"

#include "SubblockSearch.h"

#include <climits>
#include <iterator>

namespace etc {

namespace {

struct HalfPair {
    HalfFit fits[2];
    long error() const { return long{fits[0].error} + fits[1].error; }
};

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
HalfPair fitDifferential(const HalfTexels (&halves)[2], const HalfSearch& search, const SearchSettings& settings,
                         bool& constrained)
{
    const CodeRange full = fullCodeRange(5);
    HalfPair pair{{fitHalf(halves[0], search, full, settings), fitHalf(halves[1], search, full, settings)}};
    constrained = !differentialDeltaFits(pair.fits[0].code, pair.fits[1].code);
    if (!constrained) {
        return pair;
    }
    HalfPair keepFirst{{pair.fits[0], fitHalf(halves[1], search, secondHalfRange(pair.fits[0].code), settings)}};
    HalfPair keepSecond{{fitHalf(halves[0], search, firstHalfRange(pair.fits[1].code), settings), pair.fits[1]}};
    return keepFirst.error() <= keepSecond.error() ? keepFirst : keepSecond;
}

HalfPair fitIndividual(const HalfTexels (&halves)[2], const HalfSearch& search, const SearchSettings& settings)
{
    const CodeRange full = fullCodeRange(4);
    return {{fitHalf(halves[0], search, full, settings), fitHalf(halves[1], search, full, settings)}};
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
        for (int k = 0; k < halves[half].count; ++k) {
            p.selectors[halves[half].index[k]] = pair.fits[half].selectors[k];
        }
    }
    candidate.error = pair.error();
    return candidate;
}

} // namespace

SubblockCandidate encodeSubblockModes(const PixelBlock& block, const SubblockModeOptions& options,
                                      const SearchSettings& settings)
{
    SubblockCandidate best;
    best.error = LONG_MAX;
    HalfSearch search;
    search.modifiers = options.modifiers;
    search.selectorMask = options.selectorMask;
    for (bool flip : {false, true}) {
        const HalfTexels halves[2] = {gatherHalf(block, flip, 0, options.counted),
                                      gatherHalf(block, flip, 1, options.counted)};
        search.bits = 5;
        bool constrained = false;
        const HalfPair differential = fitDifferential(halves, search, settings, constrained);
        if (differential.error() < best.error) {
            best = toCandidate(differential, halves, true, flip, options);
        }
        if (options.allowIndividual && (constrained || settings.alwaysTryIndividual)) {
            search.bits = 4;
            const HalfPair individual = fitIndividual(halves, search, settings);
            if (individual.error() < best.error) {
                best = toCandidate(individual, halves, false, flip, options);
            }
        }
    }
    return best;
}

std::uint64_t encodeEtc1Block(const PixelBlock& block, const SearchSettings& settings)
{
    return packSubblockMode(encodeSubblockModes(block, SubblockModeOptions{}, settings).params);
}

} // namespace etc
