#include "CompleteSubblockSearch.h"

#include "ComponentGrid.h"

#include <algorithm>
#include <climits>
#include <iterator>
#include <memory>
#include <vector>

namespace etc {
namespace {

constexpr int mostCodes = 32;

// Per table, component and code, the lowest error that component alone can have over the
// half's texels; per table the lowest of each component and their sum.
struct HalfBounds {
    float component[8][3][mostCodes];
    // Per component and code, the squared distance of the base itself from the texels.
    float baseTerms[3][mostCodes];
    float least[8][3];
    float tableFloor[8];
    int order[8]; // tables by their floor, lowest first
    float floor;  // lowest over the tables
};

// Per code and selector, each lane's squared distance in one component (0 in lanes that do not
// count, far away for selectors left out), so that a code's exact error is a few vector sums.
using LaneSums = float[4][texelsPerSubblock];

struct ComponentDistances {
    LaneSums squared[mostCodes];
};

void codeDistances(const float (&values)[texelsPerSubblock], const float (&weights)[texelsPerSubblock], int base,
                   const int* modifiers, unsigned mask, LaneSums& squared)
{
    for (int s = 0; s < 4; ++s) {
        if ((mask >> s & 1u) == 0) {
            std::fill(std::begin(squared[s]), std::end(squared[s]), farAway * farAway);
            continue;
        }
        const float level = static_cast<float>(clamp255(base + modifiers[s]));
        for (int lane = 0; lane < texelsPerSubblock; ++lane) {
            const float d = level - values[lane];
            squared[s][lane] = weights[lane] * d * d;
        }
    }
}

void addDistances(const LaneSums& a, const LaneSums& b, LaneSums& sum)
{
    for (int s = 0; s < 4; ++s) {
        for (int lane = 0; lane < texelsPerSubblock; ++lane) {
            sum[s][lane] = a[s][lane] + b[s][lane];
        }
    }
}

// The summed error with each lane at its nearest selector.
float nearestSum(const LaneSums& distances)
{
    float lowest[texelsPerSubblock];
    for (int lane = 0; lane < texelsPerSubblock; ++lane) {
        lowest[lane] = distances[0][lane];
    }
    for (int s = 1; s < 4; ++s) {
        for (int lane = 0; lane < texelsPerSubblock; ++lane) {
            lowest[lane] = std::min(lowest[lane], distances[s][lane]);
        }
    }
    float sum = 0;
    for (float value : lowest) {
        sum += value;
    }
    return sum;
}

// nearestSum of a + b, without storing the sums.
float nearestSumOfSum(const LaneSums& a, const LaneSums& b)
{
    float lowest[texelsPerSubblock];
    for (int lane = 0; lane < texelsPerSubblock; ++lane) {
        lowest[lane] = a[0][lane] + b[0][lane];
    }
    for (int s = 1; s < 4; ++s) {
        for (int lane = 0; lane < texelsPerSubblock; ++lane) {
            lowest[lane] = std::min(lowest[lane], a[s][lane] + b[s][lane]);
        }
    }
    float sum = 0;
    for (float value : lowest) {
        sum += value;
    }
    return sum;
}

// One component's error with each counted texel at its nearest allowed level.
float nearestLevelsError(const float (&values)[texelsPerSubblock], const float (&weights)[texelsPerSubblock], int base,
                         const int* modifiers, unsigned mask)
{
    float lowest[texelsPerSubblock];
    std::fill(std::begin(lowest), std::end(lowest), farAway * farAway);
    for (int s = 0; s < 4; ++s) {
        if ((mask >> s & 1u) == 0) {
            continue;
        }
        const float level = static_cast<float>(clamp255(base + modifiers[s]));
        for (int lane = 0; lane < texelsPerSubblock; ++lane) {
            const float d = level - values[lane];
            lowest[lane] = std::min(lowest[lane], d * d);
        }
    }
    float sum = 0;
    for (int lane = 0; lane < texelsPerSubblock; ++lane) {
        sum += weights[lane] * lowest[lane];
    }
    return sum;
}

// The lowest error of one component per code, with a selector of its own per texel. Where all
// allowed levels lie on one side of every counted texel, the one nearest them is the same for
// all of them, and the error follows from the texels' sum and sum of squares.
void componentBounds(const float (&values)[texelsPerSubblock], const float (&weights)[texelsPerSubblock], int bits,
                     const int* modifiers, unsigned mask, float* bounds)
{
    float lowestValue = 255;
    float highestValue = 0;
    float count = 0;
    float sum = 0;
    float squares = 0;
    for (int lane = 0; lane < texelsPerSubblock; ++lane) {
        if (weights[lane] != 0) {
            lowestValue = std::min(lowestValue, values[lane]);
            highestValue = std::max(highestValue, values[lane]);
        }
        count += weights[lane];
        sum += weights[lane] * values[lane];
        squares += weights[lane] * values[lane] * values[lane];
    }
    int lowestModifier = 255;
    int highestModifier = -255;
    for (int s = 0; s < 4; ++s) {
        if ((mask >> s & 1u) != 0) {
            lowestModifier = std::min(lowestModifier, modifiers[s]);
            highestModifier = std::max(highestModifier, modifiers[s]);
        }
    }
    for (int code = 0; code < 1 << bits; ++code) {
        const int base = gridValue(bits, code);
        const float lowestLevel = static_cast<float>(clamp255(base + lowestModifier));
        const float highestLevel = static_cast<float>(clamp255(base + highestModifier));
        if (lowestLevel >= highestValue || highestLevel <= lowestValue) {
            const float level = lowestLevel >= highestValue ? lowestLevel : highestLevel;
            bounds[code] = count * level * level - 2 * level * sum + squares;
            continue;
        }
        bounds[code] = nearestLevelsError(values, weights, base, modifiers, mask);
    }
}

// Sorts a few indices by their key, ties kept in order.
template <typename Key>
void sortIndices(int* indices, int count, Key key)
{
    for (int i = 1; i < count; ++i) {
        const int index = indices[i];
        int at = i;
        while (at > 0 && key(indices[at - 1]) > key(index)) {
            indices[at] = indices[at - 1];
            --at;
        }
        indices[at] = index;
    }
}

// Per table, texel value and code (the 5-bit codes, then the 4-bit ones), the squared distance
// from the value to its nearest level: a component's bounds over a half are then a sum of rows.
// Built once for the ETC1 tables and once for those of punchthrough blocks.
constexpr int tabulatedCodes = mostCodes + mostCodes / 2;

struct LevelErrors {
    float row[8][256][tabulatedCodes];
};

std::unique_ptr<LevelErrors> tabulateLevelErrors(const ModifierTables& modifiers, unsigned mask)
{
    auto errors = std::make_unique<LevelErrors>();
    for (int table = 0; table < 8; ++table) {
        for (int value = 0; value < 256; ++value) {
            for (int slot = 0; slot < tabulatedCodes; ++slot) {
                const int base = slot < mostCodes ? gridValue(5, slot) : gridValue(4, slot - mostCodes);
                int lowest = INT_MAX;
                for (int s = 0; s < 4; ++s) {
                    if ((mask >> s & 1u) != 0) {
                        lowest = std::min(lowest, squared(clamp255(base + modifiers[table][s]) - value));
                    }
                }
                errors->row[table][value][slot] = static_cast<float>(lowest);
            }
        }
    }
    return errors;
}

// Null for other tables or selectors.
const LevelErrors* sharedLevelErrors(const HalfSearch& search)
{
    if (search.modifiers == &etc1Modifiers && search.selectorMask == 0xF) {
        static const std::unique_ptr<LevelErrors> etc1 = tabulateLevelErrors(etc1Modifiers, 0xF);
        return etc1.get();
    }
    if (search.modifiers == &transparentModifiers && search.selectorMask == 0xB) {
        static const std::unique_ptr<LevelErrors> punchthrough = tabulateLevelErrors(transparentModifiers, 0xB);
        return punchthrough.get();
    }
    return nullptr;
}

// The sum of `count` rows of `codes` values each.
template <int codes>
void sumRows(const float* const* rows, int count, float* sums)
{
    float total[codes];
    for (int code = 0; code < codes; ++code) {
        total[code] = count > 0 ? rows[0][code] : 0.0f;
    }
    for (int k = 1; k < count; ++k) {
        for (int code = 0; code < codes; ++code) {
            total[code] += rows[k][code];
        }
    }
    std::copy(total, total + codes, sums);
}

void sumLevelErrors(const LevelErrors& errors, int table, const float (&values)[texelsPerSubblock],
                    const float (&weights)[texelsPerSubblock], int bits, float* bounds)
{
    const float* rows[texelsPerSubblock];
    int count = 0;
    for (int lane = 0; lane < texelsPerSubblock; ++lane) {
        if (weights[lane] != 0) {
            rows[count++] = errors.row[table][static_cast<int>(values[lane])] + (bits == 5 ? 0 : mostCodes);
        }
    }
    if (bits == 5) {
        sumRows<mostCodes>(rows, count, bounds);
    } else {
        sumRows<mostCodes / 2>(rows, count, bounds);
    }
}

void boundHalf(const HalfTexels& t, const HalfSearch& search, HalfBounds& bounds)
{
    const int codes = 1 << search.bits;
    const float(*channels[3])[texelsPerSubblock] = {&t.r, &t.g, &t.b};
    for (int c = 0; c < 3; ++c) {
        // sum (base - value)^2 = count base^2 - 2 base sum(value) + sum(value^2), whole numbers all.
        float sum = 0;
        float squares = 0;
        for (int lane = 0; lane < texelsPerSubblock; ++lane) {
            sum += t.weight[lane] * (*channels[c])[lane];
            squares += t.weight[lane] * (*channels[c])[lane] * (*channels[c])[lane];
        }
        const auto count = static_cast<float>(t.count);
        for (int code = 0; code < codes; ++code) {
            const float base = static_cast<float>(gridValue(search.bits, code));
            bounds.baseTerms[c][code] = count * base * base - 2 * base * sum + squares;
        }
    }
    const LevelErrors* shared = sharedLevelErrors(search);
    for (int table = 0; table < 8; ++table) {
        bounds.tableFloor[table] = 0;
        for (int c = 0; c < 3; ++c) {
            float* bound = bounds.component[table][c];
            if (shared != nullptr) {
                sumLevelErrors(*shared, table, *channels[c], t.weight, search.bits, bound);
            } else {
                componentBounds(*channels[c], t.weight, search.bits, (*search.modifiers)[table], search.selectorMask,
                                bound);
            }
            bounds.least[table][c] = *std::min_element(bound, bound + codes);
            bounds.tableFloor[table] += bounds.least[table][c];
        }
        bounds.order[table] = table;
    }
    sortIndices(bounds.order, 8, [&](int table) { return bounds.tableFloor[table]; });
    bounds.floor = bounds.tableFloor[bounds.order[0]];
}

// Where no level of a table clamps, a code's error splits into its components' base terms and
// a part that depends on the sum of its components alone: per texel the lowest over the
// selectors of 3 m^2 + 2 m (base sum - texel sum). That part, worked out per sum when first asked for.
class SelectorTerms {
public:
    SelectorTerms(const HalfTexels& t, const int* modifiers, unsigned mask) : texels(t)
    {
        for (int s = 0; s < 4; ++s) {
            const bool allowed = (mask >> s & 1u) != 0;
            modifier[s] = static_cast<float>(modifiers[s]);
            square[s] = allowed ? 3 * modifier[s] * modifier[s] : farAway * farAway;
            lowestModifier = std::min(lowestModifier, allowed ? modifiers[s] : 255);
            highestModifier = std::max(highestModifier, allowed ? modifiers[s] : -255);
        }
        for (int lane = 0; lane < texelsPerSubblock; ++lane) {
            texelSums[lane] = t.r[lane] + t.g[lane] + t.b[lane];
        }
        std::fill(std::begin(known), std::end(known), false);
    }

    bool clamps(int base) const { return base + lowestModifier < 0 || base + highestModifier > 255; }

    float at(int sum)
    {
        if (!known[sum]) {
            float lowest[texelsPerSubblock];
            std::fill(std::begin(lowest), std::end(lowest), farAway * farAway);
            for (int s = 0; s < 4; ++s) {
                for (int lane = 0; lane < texelsPerSubblock; ++lane) {
                    const float term = square[s] + 2 * modifier[s] * (static_cast<float>(sum) - texelSums[lane]);
                    lowest[lane] = std::min(lowest[lane], term);
                }
            }
            float total = 0;
            for (int lane = 0; lane < texelsPerSubblock; ++lane) {
                total += texels.weight[lane] * lowest[lane];
            }
            terms[sum] = total;
            known[sum] = true;
        }
        return terms[sum];
    }

private:
    static constexpr int sums = 3 * 255 + 1;
    const HalfTexels& texels;
    float modifier[4];
    float square[4];
    int lowestModifier = 255;
    int highestModifier = -255;
    float texelSums[texelsPerSubblock];
    bool known[sums];
    float terms[sums];
};

// Every code and table of a half whose bound lies below `limit`, scored exactly: `visit`
// sees those whose error does too, and may lower `limit` as it goes. The red and green
// components of a code share their selectors, which bounds the blue loop more tightly.
template <typename Visit>
void visitBelow(const HalfTexels& t, const HalfSearch& search, const HalfBounds& bounds, const int& limit, Visit visit)
{
    const int codes = 1 << search.bits;
    const float(*channels[3])[texelsPerSubblock] = {&t.r, &t.g, &t.b};
    int values[mostCodes];
    for (int code = 0; code < codes; ++code) {
        values[code] = gridValue(search.bits, code);
    }
    ComponentDistances distances[3];
    for (int table : bounds.order) {
        // `limit` changes only where `visit` runs.
        float ceiling = static_cast<float>(limit);
        if (bounds.tableFloor[table] >= ceiling) {
            return;
        }
        // The distances of a code, worked out when first needed.
        bool known[3][mostCodes] = {};
        const auto distancesOf = [&](int c, int code) -> const LaneSums& {
            if (!known[c][code]) {
                codeDistances(*channels[c], t.weight, values[code], (*search.modifiers)[table], search.selectorMask,
                              distances[c].squared[code]);
                known[c][code] = true;
            }
            return distances[c].squared[code];
        };
        SelectorTerms selectorTerms(t, (*search.modifiers)[table], search.selectorMask);
        bool clamps[mostCodes];
        for (int code = 0; code < codes; ++code) {
            clamps[code] = selectorTerms.clamps(values[code]);
        }
        const float(&bound)[3][mostCodes] = bounds.component[table];
        const float leastG = bounds.least[table][1];
        const float leastB = bounds.least[table][2];
        for (int r = 0; r < codes; ++r) {
            if (bound[0][r] + leastG + leastB >= ceiling) {
                continue;
            }
            for (int g = 0; g < codes; ++g) {
                if (bound[0][r] + bound[1][g] + leastB >= ceiling) {
                    continue;
                }
                LaneSums rg;
                addDistances(distancesOf(0, r), distancesOf(1, g), rg);
                const float rgError = nearestSum(rg);
                if (rgError + leastB >= ceiling) {
                    continue;
                }
                const int rgBase = values[r] + values[g];
                const bool rgClamps = clamps[r] || clamps[g];
                const float rgTerms = bounds.baseTerms[0][r] + bounds.baseTerms[1][g];
                for (int b = 0; b < codes; ++b) {
                    if (rgError + bound[2][b] >= ceiling) {
                        continue;
                    }
                    const float exact = rgClamps || clamps[b]
                        ? nearestSumOfSum(rg, distancesOf(2, b))
                        : rgTerms + bounds.baseTerms[2][b] + selectorTerms.at(rgBase + values[b]);
                    if (exact < ceiling) {
                        visit(Rgb{r, g, b}, table, static_cast<int>(exact));
                        ceiling = static_cast<float>(limit);
                    }
                }
            }
        }
    }
}

// The code of each component with the lowest bound for a table.
Rgb leastCode(const HalfBounds& bounds, int table, int codes)
{
    int least[3];
    for (int c = 0; c < 3; ++c) {
        const float* bound = bounds.component[table][c];
        least[c] = static_cast<int>(std::min_element(bound, bound + codes) - bound);
    }
    return {least[0], least[1], least[2]};
}

int toLimit(long error) { return static_cast<int>(std::clamp(error, 0L, long{INT_MAX})); }

// The half's lowest error if it lies below `below`; the error stays INT_MAX otherwise.
HalfFit bestHalf(const HalfTexels& t, const HalfSearch& search, const HalfBounds& bounds, long below)
{
    HalfFit best;
    best.error = INT_MAX;
    int limit = toLimit(below);
    const auto keep = [&](const Rgb& code, int table, int error) {
        best.code = code;
        best.table = table;
        best.error = error;
        limit = error;
    };
    // Each table's least code first, so that the bound prunes from the start.
    for (int table : bounds.order) {
        if (bounds.tableFloor[table] < static_cast<float>(limit)) {
            const Rgb code = leastCode(bounds, table, 1 << search.bits);
            const int error = halfError(t, code, table, search);
            if (error < limit) {
                keep(code, table, error);
            }
        }
    }
    visitBelow(t, search, bounds, limit, keep);
    return best;
}

struct ScoredCode {
    Rgb code;
    int table;
    int error;
};

// Every code of a half whose error (lowest over the tables) lies below `below`, lowest first.
std::vector<ScoredCode> codesBelow(const HalfTexels& t, const HalfSearch& search, const HalfBounds& bounds, long below)
{
    std::vector<ScoredCode> found;
    const int limit = toLimit(below);
    visitBelow(t, search, bounds, limit, [&](const Rgb& code, int table, int error) {
        found.push_back({code, table, error});
    });
    const auto index = [](const Rgb& c) { return (c.r * mostCodes + c.g) * mostCodes + c.b; };
    // Whole orders (no ties), so that any sort gives the same list.
    std::sort(found.begin(), found.end(), [&](const ScoredCode& a, const ScoredCode& b) {
        if (index(a.code) != index(b.code)) {
            return index(a.code) < index(b.code);
        }
        return a.error != b.error ? a.error < b.error : a.table < b.table;
    });
    found.erase(std::unique(found.begin(), found.end(),
                            [&](const ScoredCode& a, const ScoredCode& b) { return a.code == b.code; }),
                found.end());
    std::sort(found.begin(), found.end(), [&](const ScoredCode& a, const ScoredCode& b) {
        return a.error != b.error ? a.error < b.error : index(a.code) < index(b.code);
    });
    return found;
}

HalfFit fitOf(const ScoredCode& scored)
{
    HalfFit fit;
    fit.code = scored.code;
    fit.table = scored.table;
    fit.error = scored.error;
    return fit;
}

// The best differential pair below `below` when the halves' own best codes lie too far apart:
// each half's codes that could still beat it, paired where the step allows.
bool pairWithinStep(const HalfTexels (&halves)[2], const HalfSearch& search, const HalfBounds (&bounds)[2],
                    const HalfPair& alone, long& below, HalfPair& pair)
{
    const std::vector<ScoredCode> first = codesBelow(halves[0], search, bounds[0], below - alone.fits[1].error);
    const std::vector<ScoredCode> second = codesBelow(halves[1], search, bounds[1], below - alone.fits[0].error);
    bool found = false;
    for (const ScoredCode& a : first) {
        if (second.empty() || long{a.error} + second.front().error >= below) {
            break;
        }
        for (const ScoredCode& b : second) {
            if (long{a.error} + b.error >= below) {
                break;
            }
            if (differentialDeltaFits(a.code, b.code)) {
                pair = {{fitOf(a), fitOf(b)}};
                below = pair.error();
                found = true;
                break;
            }
        }
    }
    return found;
}

// A half without counted texels takes the other half's code, which any mode allows.
HalfFit followOther(const HalfFit& other)
{
    HalfFit fit;
    fit.code = other.code;
    fit.error = 0;
    return fit;
}

struct ModeBounds {
    HalfBounds halves[2];
    bool flip = false;
    bool differential = false;
    float floor() const { return halves[0].floor + halves[1].floor; }
};

HalfSearch searchOfMode(const HalfSearch& search, bool differential)
{
    HalfSearch modeSearch = search;
    modeSearch.bits = differential ? 5 : 4;
    return modeSearch;
}

// Each half's own best codes (the counted halves searched, the first against the other's floor,
// the second against the first's error); false when the mode cannot get below `below`.
bool bestHalvesAlone(const HalfTexels (&halves)[2], const HalfSearch& search, const ModeBounds& mode, long below,
                     HalfPair& pair)
{
    const int lead = halves[0].count != 0 ? 0 : 1;
    const int other = 1 - lead;
    HalfFit(&fits)[2] = pair.fits;
    fits[lead] = bestHalf(halves[lead], search, mode.halves[lead], below - static_cast<long>(mode.halves[other].floor));
    if (fits[lead].error == INT_MAX) {
        return false;
    }
    if (halves[other].count == 0) {
        fits[other] = followOther(fits[lead]);
        return true;
    }
    fits[other] = bestHalf(halves[other], search, mode.halves[other], below - fits[lead].error);
    return fits[other].error != INT_MAX;
}

} // namespace

bool searchSubblocksCompletely(const HalfTexels (&byFlip)[2][2], const HalfSearch& search, bool allowIndividual,
                               long below, SubblockChoice& choice)
{
    ModeBounds modes[4];
    int order[4];
    int count = 0;
    for (int differential = 1; differential >= (allowIndividual ? 0 : 1); --differential) {
        for (int flip = 0; flip < 2; ++flip) {
            ModeBounds& mode = modes[count];
            mode.flip = flip != 0;
            mode.differential = differential != 0;
            for (int half = 0; half < 2; ++half) {
                boundHalf(byFlip[flip][half], searchOfMode(search, mode.differential), mode.halves[half]);
            }
            order[count] = count;
            ++count;
        }
    }
    // The modes that promise most first, so that the best error so far prunes the others.
    sortIndices(order, count, [&](int mode) { return modes[mode].floor(); });

    bool found = false;
    const auto keep = [&](const ModeBounds& mode, const HalfPair& pair) {
        choice = {pair, mode.flip, mode.differential};
        below = pair.error();
        found = true;
    };
    HalfPair tooFarApart[2];
    const ModeBounds* tooFarApartModes[2];
    int apart = 0;
    for (int k = 0; k < count; ++k) {
        const ModeBounds& mode = modes[order[k]];
        if (mode.floor() >= static_cast<float>(below)) {
            continue;
        }
        HalfPair pair;
        if (!bestHalvesAlone(byFlip[mode.flip ? 1 : 0], searchOfMode(search, mode.differential), mode, below, pair)) {
            continue;
        }
        if (!mode.differential || differentialDeltaFits(pair.fits[0].code, pair.fits[1].code)) {
            keep(mode, pair);
        } else {
            tooFarApart[apart] = pair;
            tooFarApartModes[apart++] = &mode;
        }
    }
    // Pairs within the step last, when the best error so far prunes most codes.
    for (int k = 0; k < apart; ++k) {
        const ModeBounds& mode = *tooFarApartModes[k];
        HalfPair pair;
        if (tooFarApart[k].error() < below &&
            pairWithinStep(byFlip[mode.flip ? 1 : 0], searchOfMode(search, true), mode.halves, tooFarApart[k], below,
                           pair)) {
            keep(mode, pair);
        }
    }
    if (found) {
        const HalfTexels(&halves)[2] = byFlip[choice.flip ? 1 : 0];
        const HalfSearch modeSearch = searchOfMode(search, choice.differential);
        for (int half = 0; half < 2; ++half) {
            const HalfFit& fit = choice.pair.fits[half];
            choice.pair.fits[half] = fitTableAt(halves[half], fit.code, fit.table, modeSearch);
        }
    }
    return found;
}

} // namespace etc
