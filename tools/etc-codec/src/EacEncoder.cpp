#include "EacEncoder.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <vector>

namespace etc {

namespace {

// The search works on bytes: each reconstruction counts as the byte it maps back to. For
// multipliers from 1 up, a level's byte is then U(u) with u = base + multiplier * modifier
// and U a fixed map per variant: clamp255(u) for Alpha8 and, since 8 * 255 / 2047 rounds
// every 8u + 4 back to u, for Unsigned11 as well; for Signed11 u + 128 up to u = 0 and
// u + 127 from u = 1 (both 0 and 1 give 128), clamped. The 11-bit zero multiplier (steps
// of 1/8) is searched apart.
constexpr int kLowestU = -128 - 15 * 15;
constexpr int kHighestU = 255 + 15 * 15;

constexpr int kLanes = 8;
constexpr int kMaxSweep = 256;
// Per-texel errors in a sweep are capped so that 16 of them add up in signed 16 bits; a
// level more than 45 bytes from a texel never belongs to a good candidate anyway.
constexpr int kCappedError = 2047;
constexpr int kHighestGap = 256;
constexpr int kGapEntries = 2 * kHighestGap + 1 + kMaxSweep;

class LevelBytes {
public:
    LevelBytes()
    {
        for (int u = kLowestU; u <= kHighestU; ++u) {
            alpha[u - kLowestU] = static_cast<std::int16_t>(clamp255(u));
            unsigned11[u - kLowestU] =
                static_cast<std::int16_t>(byteFromEacValue(EacVariant::Unsigned11, std::clamp(u * 8 + 4, 0, 2047)));
            signed11[u - kLowestU] =
                static_cast<std::int16_t>(byteFromEacValue(EacVariant::Signed11, std::clamp(u * 8, -1023, 1023)));
        }
    }

    int operator()(EacVariant variant, int u) const
    {
        switch (variant) {
        case EacVariant::Unsigned11:
            return unsigned11[u - kLowestU];
        case EacVariant::Signed11:
            return signed11[u - kLowestU];
        case EacVariant::Alpha8:
            break;
        }
        return alpha[u - kLowestU];
    }

private:
    std::array<std::int16_t, kHighestU - kLowestU + 1> alpha{};
    std::array<std::int16_t, kHighestU - kLowestU + 1> unsigned11{};
    std::array<std::int16_t, kHighestU - kLowestU + 1> signed11{};
};

const LevelBytes& levelBytes()
{
    static const LevelBytes table;
    return table;
}

struct Block {
    EacVariant variant;
    std::int16_t bytes[kBlockTexels];
    // The bytes as the sweeps see them: there every level is base + baseToByte + offset, so
    // signed bytes above 128 move up by one to undo the step in U.
    std::int16_t swept[kBlockTexels];
    // Where each texel's errors start in a gap table (at base 0).
    int gapStart[kBlockTexels];
    int targets[kBlockTexels]; // the bytes in the variant's units
    int low = 255;
    int high = 0;
    int coreLow = 0;  // the third lowest byte
    int coreHigh = 0; // the third highest byte
    int lowestBase = 0;
    int highestBase = 255;
    int baseToByte = 0; // byte of a level with modifier 0 = base + baseToByte (nearly)
};

Block makeBlock(const int (&bytes)[kBlockTexels], EacVariant variant)
{
    Block block{};
    block.variant = variant;
    int sorted[kBlockTexels];
    for (int i = 0; i < kBlockTexels; ++i) {
        block.bytes[i] = static_cast<std::int16_t>(bytes[i]);
        const int shift = variant == EacVariant::Signed11 && bytes[i] > 128 ? 1 : 0;
        block.swept[i] = static_cast<std::int16_t>(bytes[i] + shift);
        block.targets[i] = eacTargetFromByte(variant, bytes[i]);
        sorted[i] = block.swept[i];
    }
    std::sort(sorted, sorted + kBlockTexels);
    block.low = sorted[0];
    block.high = sorted[kBlockTexels - 1];
    block.coreLow = sorted[2];
    block.coreHigh = sorted[kBlockTexels - 3];
    if (variant == EacVariant::Signed11) {
        block.lowestBase = -127; // -128 would only repeat -127
        block.highestBase = 127;
        block.baseToByte = 128;
    }
    for (int i = 0; i < kBlockTexels; ++i) {
        block.gapStart[i] = kHighestGap - (block.swept[i] - block.baseToByte);
    }
    return block;
}

struct Trial {
    int table = 0;
    int multiplier = 0;
    int base = 0;
    int error = INT_MAX;
    // Among candidates of equal 8-bit error, the one nearer the exact 11-bit targets wins.
    long fineError = LONG_MAX;
};

void levelsOf(const Block& block, int table, int multiplier, int base, std::int16_t (&levels)[8])
{
    for (int k = 0; k < 8; ++k) {
        if (multiplier == 0) {
            levels[k] = static_cast<std::int16_t>(
                byteFromEacValue(block.variant, eacValue(block.variant, base, 0, kEacModifiers[table][k])));
        } else {
            levels[k] =
                static_cast<std::int16_t>(levelBytes()(block.variant, base + multiplier * kEacModifiers[table][k]));
        }
    }
}

// Exact error of one candidate; written for the compiler to vectorise over the texels.
int byteError(const Block& block, int table, int multiplier, int base)
{
    std::int16_t levels[8];
    levelsOf(block, table, multiplier, base, levels);
    std::int16_t nearest[kBlockTexels];
    std::fill(std::begin(nearest), std::end(nearest), INT16_MAX);
    for (int k = 0; k < 8; ++k) {
        for (int i = 0; i < kBlockTexels; ++i) {
            std::int16_t d = static_cast<std::int16_t>(block.bytes[i] - levels[k]);
            d = d < 0 ? static_cast<std::int16_t>(-d) : d;
            nearest[i] = std::min(nearest[i], d);
        }
    }
    int error = 0;
    for (int i = 0; i < kBlockTexels; ++i) {
        error += nearest[i] * nearest[i];
    }
    return error;
}

// Squared distance of each texel's exact target to the nearest level, in the variant's
// own units.
long fineError(const Block& block, int table, int multiplier, int base)
{
    int values[8];
    for (int k = 0; k < 8; ++k) {
        values[k] = eacValue(block.variant, base, multiplier, kEacModifiers[table][k]);
    }
    long error = 0;
    for (int target : block.targets) {
        int nearest = INT_MAX;
        for (int v : values) {
            nearest = std::min(nearest, squared(v - target));
        }
        error += nearest;
    }
    return error;
}

void tryCandidate(const Block& block, int table, int multiplier, int base, Trial& best)
{
    if (base < block.lowestBase || base > block.highestBase) {
        return;
    }
    const int error = byteError(block, table, multiplier, base);
    if (error > best.error) {
        return;
    }
    const long fine = fineError(block, table, multiplier, base);
    if (error < best.error || fine < best.fineError) {
        best = {table, multiplier, base, error, fine};
    }
}

// For every table and multiplier from 1, g(x) = the squared distance from x to the nearest
// of the scaled modifiers, capped; stored from x = kHighestGap downwards.
class GapTables {
public:
    GapTables() : gaps(16 * 16 * kGapEntries)
    {
        for (int table = 0; table < 16; ++table) {
            for (int multiplier = 1; multiplier <= 15; ++multiplier) {
                std::uint16_t* out = &gaps[(table * 16 + multiplier) * kGapEntries];
                for (int j = 0; j < kGapEntries; ++j) {
                    const int x = kHighestGap - j;
                    int nearest = INT_MAX;
                    for (int modifier : kEacModifiers[table]) {
                        nearest = std::min(nearest, squared(x - multiplier * modifier));
                    }
                    out[j] = static_cast<std::uint16_t>(std::min(nearest, kCappedError));
                }
            }
        }
    }

    const std::uint16_t* of(int table, int multiplier) const { return &gaps[(table * 16 + multiplier) * kGapEntries]; }

private:
    std::vector<std::uint16_t> gaps;
};

const GapTables& gapTables()
{
    static const GapTables tables;
    return tables;
}

struct Swept {
    int base = 0;
    int error = INT_MAX;
};

// The base with the least error for one table and multiplier, over [firstBase, lastBase],
// with every level taken as exactly base + baseToByte + offset (no clamping): the error of
// texel c is then g(c - baseToByte - base), so one table serves every base. The loops run
// over whole groups of lanes so that the compiler vectorises them.
Swept sweepBases(const Block& block, int table, int multiplier, int firstBase, int lastBase)
{
    const std::uint16_t* gaps = gapTables().of(table, multiplier);
    const int groups = (lastBase - firstBase) / kLanes + 1;
    // g(x) sits at kHighestGap - x; consecutive bases lower x by one.
    const std::uint16_t* g[kBlockTexels];
    for (int i = 0; i < kBlockTexels; ++i) {
        g[i] = gaps + block.gapStart[i] + firstBase;
    }
    std::int16_t errors[kMaxSweep + kLanes];
    for (int group = 0; group < groups; ++group) {
        std::int16_t sum[kLanes] = {};
#pragma GCC unroll 16
        for (int i = 0; i < kBlockTexels; ++i) {
            for (int lane = 0; lane < kLanes; ++lane) {
                sum[lane] = static_cast<std::int16_t>(sum[lane] + g[i][group * kLanes + lane]);
            }
        }
        std::copy(sum, sum + kLanes, errors + group * kLanes);
    }
    // Lanes past lastBase must not win.
    std::fill(errors + (lastBase - firstBase + 1), errors + groups * kLanes, INT16_MAX);
    std::int16_t least[kLanes];
    std::int16_t leastGroup[kLanes] = {};
    std::copy(errors, errors + kLanes, least);
    for (int group = 1; group < groups; ++group) {
        for (int lane = 0; lane < kLanes; ++lane) {
            const std::int16_t e = errors[group * kLanes + lane];
            const bool lower = e < least[lane];
            least[lane] = lower ? e : least[lane];
            leastGroup[lane] = lower ? static_cast<std::int16_t>(group) : leastGroup[lane];
        }
    }
    int bestLane = 0;
    for (int lane = 1; lane < kLanes; ++lane) {
        if (least[lane] < least[bestLane]) {
            bestLane = lane;
        }
    }
    return {firstBase + leastGroup[bestLane] * kLanes + bestLane, least[bestLane]};
}

// Bases worth sweeping: from where the top level reaches the top texel to where the bottom
// level reaches the bottom one, widened by `margin`; around the centred base when the
// levels span less than the texels.
void baseRange(const Block& block, int lowestOffset, int highestOffset, int margin, int& first, int& last)
{
    const int fromTop = block.high - block.baseToByte - highestOffset;
    const int fromBottom = block.low - block.baseToByte - lowestOffset;
    first = std::min(fromTop, fromBottom) - margin;
    last = std::max(fromTop, fromBottom) + margin;
    first = std::max(first, block.lowestBase);
    last = std::min({last, block.highestBase, first + kMaxSweep - 1});
}

struct Sweep {
    int table = 0;
    int multiplier = 0;
    Swept result;
};

Sweep sweepMultiplier(const Block& block, int table, int multiplier, int margin)
{
    const int* m = kEacModifiers[table];
    int first = 0;
    int last = 0;
    baseRange(block, multiplier * m[3], multiplier * m[7], margin, first, last);
    Sweep sweep{table, multiplier, {}};
    if (first <= last) {
        sweep.result = sweepBases(block, table, multiplier, first, last);
    }
    return sweep;
}

// Multipliers near the one whose outermost modifiers span all texels, and near the one
// whose inner modifiers span the texels without the two lowest and highest (blocks with
// outliers want the outer modifiers for those alone).
struct MultiplierChoice {
    int spanning;
    int core;
};

MultiplierChoice keyMultipliers(const Block& block, int table)
{
    const int* m = kEacModifiers[table];
    auto nearest = [](int span, int modifierSpan) {
        return std::clamp(static_cast<int>(std::lround(span / double(modifierSpan))), 1, 15);
    };
    return {nearest(block.high - block.low, m[7] - m[3]), nearest(block.coreHigh - block.coreLow, m[6] - m[2])};
}

// The multipliers of one table to sweep: the key ones and their neighbours.
void planMultipliers(const MultiplierChoice& key, const EacEffort& effort, bool (&wanted)[16])
{
    for (int m = key.spanning - effort.multipliersBelow; m <= key.spanning + effort.multipliersAbove; ++m) {
        wanted[std::clamp(m, 1, 15)] = true;
    }
    for (int m = key.core - effort.coreMultiplierReach; m <= key.core + effort.coreMultiplierReach; ++m) {
        wanted[std::clamp(m, 1, 15)] = true;
    }
}

// The sweeps with the least errors so far, best first.
class BestSweeps {
public:
    explicit BestSweeps(int capacity) : capacity(std::min(capacity, kMaxKept)) { }

    void offer(const Sweep& sweep)
    {
        int at = count < capacity ? count++ : capacity;
        if (at == capacity && sweep.result.error >= kept[capacity - 1].result.error) {
            return;
        }
        at = std::min(at, capacity - 1);
        while (at > 0 && kept[at - 1].result.error > sweep.result.error) {
            kept[at] = kept[at - 1];
            --at;
        }
        kept[at] = sweep;
    }

    int size() const { return count; }
    const Sweep& operator[](int k) const { return kept[k]; }

private:
    static constexpr int kMaxKept = 32;
    int capacity;
    int count = 0;
    Sweep kept[kMaxKept];
};

// The 11-bit zero multiplier puts the levels within about two bytes of the base.
void searchFineSteps(const Block& block, Trial& best)
{
    if (block.high - block.low > 3) {
        return;
    }
    int sum = 0;
    for (std::int16_t b : block.bytes) {
        sum += b;
    }
    const int centre = static_cast<int>(std::lround(sum / 16.0)) - block.baseToByte;
    for (int table = 0; table < 16; ++table) {
        for (int base = centre - 2; base <= centre + 1; ++base) {
            tryCandidate(block, table, 0, base, best);
        }
    }
}

// Each texel's selector: the least 8-bit error, and among equals the value nearest the
// exact target.
EacParams selectorsFor(const Block& block, const Trial& trial)
{
    EacParams p;
    p.base = trial.base;
    p.multiplier = trial.multiplier;
    p.table = trial.table;
    int values[8];
    for (int k = 0; k < 8; ++k) {
        values[k] = eacValue(block.variant, trial.base, trial.multiplier, kEacModifiers[trial.table][k]);
    }
    std::int16_t levels[8];
    levelsOf(block, trial.table, trial.multiplier, trial.base, levels);
    for (int i = 0; i < kBlockTexels; ++i) {
        const double exact = block.variant == EacVariant::Unsigned11 ? block.bytes[i] * 2047.0 / 255.0
            : block.variant == EacVariant::Signed11                  ? (block.bytes[i] * 2.0 / 255.0 - 1.0) * 1023.0
                                                                     : block.bytes[i];
        double bestCost = INFINITY;
        for (int k = 0; k < 8; ++k) {
            const int byteError = squared(levels[k] - block.bytes[i]);
            const double cost = byteError * 65536.0 + std::abs(values[k] - exact);
            if (cost < bestCost) {
                bestCost = cost;
                p.selectors[i] = static_cast<std::uint8_t>(k);
            }
        }
    }
    return p;
}

} // namespace

std::uint64_t encodeEacBlock(const int (&bytes)[kBlockTexels], EacVariant variant, const EacEffort& effort)
{
    const Block block = makeBlock(bytes, variant);
    Trial best;
    if (block.high == block.low) {
        // One value throughout: alpha stores it with a zero multiplier, the 11-bit variants
        // find it (and the 11-bit value nearest its exact target) among the fine steps.
        if (variant == EacVariant::Alpha8) {
            tryCandidate(block, 0, 0, block.bytes[0], best);
        } else {
            searchFineSteps(block, best);
        }
        return packEac(selectorsFor(block, best));
    }
    BestSweeps sweeps(effort.settledSweeps);
    for (int table = 0; table < 16; ++table) {
        bool wanted[16] = {};
        planMultipliers(keyMultipliers(block, table), effort, wanted);
        for (int m = 1; m <= 15; ++m) {
            if (wanted[m]) {
                sweeps.offer(sweepMultiplier(block, table, m, effort.baseMargin));
            }
        }
    }
    // The sweeps ignore clamping and the slight curve of the signed map: settle the bases of
    // the best ones on the exact error around their choice.
    for (int k = 0; k < sweeps.size(); ++k) {
        for (int base = sweeps[k].result.base - 1; base <= sweeps[k].result.base + 1; ++base) {
            tryCandidate(block, sweeps[k].table, sweeps[k].multiplier, base, best);
        }
    }
    if (variant != EacVariant::Alpha8) {
        searchFineSteps(block, best);
    }
    return packEac(selectorsFor(block, best));
}

} // namespace etc
