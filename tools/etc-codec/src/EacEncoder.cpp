#include "EacEncoder.h"

#include "EacFastEncoder.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <vector>

namespace etc {

namespace {

// The sweeps work in level steps: a level is u = base + multiplier * modifier (before
// clamping), which reconstructs as u for Alpha8, 8u + 4 for Unsigned11 and 8u for Signed11;
// each texel is swept as the step nearest its exact target. The exact error then counts in
// the reconstructed units: bytes for Alpha8, eighths of an 11-bit value for the others. The
// 11-bit zero multiplier (steps of 1/8) is searched apart.
constexpr int elevenBitTargetScale = 8;

constexpr int laneCount = 8;
constexpr int maxSweep = 256;
// Sweeps of the 11-bit variants place texels to half a step.
constexpr int elevenBitSweepResolution = 2;
// Per-texel errors in a sweep are capped so that 16 of them add up in 16 bits; a level more
// than 32 steps from a texel never belongs to a good candidate anyway.
constexpr int cappedError = 4095;
constexpr int highestGap = 256;
constexpr int gapEntries = 2 * highestGap + 1 + maxSweep;

// Integer division rounding down, for negative numerators too.
int floorQuotient(int numerator, int denominator)
{
    return numerator >= 0 ? numerator / denominator : -((-numerator + denominator - 1) / denominator);
}

// What a texel should reconstruct as, from its 16-bit-scale sample, in the units the exact
// error counts: Alpha8 the nearest byte (its blocks are judged at 8 bits), the 11-bit
// variants s / 65535 * 2047 (signed: (s / 65535 * 2 - 1) * 1023) in eighths.
int exactTarget(EacVariant variant, int sample)
{
    switch (variant) {
    case EacVariant::Unsigned11:
        return (sample * 2047 * elevenBitTargetScale + 32767) / 65535;
    case EacVariant::Signed11: {
        const int numerator = (2 * sample - 65535) * 1023 * elevenBitTargetScale;
        return floorQuotient(2 * numerator + 65535, 2 * 65535);
    }
    case EacVariant::Alpha8:
        break;
    }
    return (sample * 255 + 32767) / 65535;
}

// The level step nearest an exact target.
int sweptStep(EacVariant variant, int target)
{
    constexpr int unitsPerStep = 8 * elevenBitTargetScale;
    switch (variant) {
    case EacVariant::Unsigned11:
        return target / unitsPerStep; // levels sit half a step up: 8u + 4
    case EacVariant::Signed11:
        return floorQuotient(target + unitsPerStep / 2, unitsPerStep);
    case EacVariant::Alpha8:
        break;
    }
    return target;
}

// A target as the sweeps place it: in steps for Alpha8, half steps for the others.
int sweptSubstep(EacVariant variant, int target)
{
    constexpr int unitsPerSubstep = 8 * elevenBitTargetScale / elevenBitSweepResolution;
    switch (variant) {
    case EacVariant::Unsigned11:
        return floorQuotient(target - 8 * elevenBitTargetScale / 2 + unitsPerSubstep / 2, unitsPerSubstep);
    case EacVariant::Signed11:
        return floorQuotient(target + unitsPerSubstep / 2, unitsPerSubstep);
    case EacVariant::Alpha8:
        break;
    }
    return target;
}

struct Block {
    EacVariant variant;
    int scale; // target units per reconstructed unit
    int targets[texelsPerBlock];
    std::int16_t swept[texelsPerBlock];
    // Where each texel's errors start in a gap table (at base 0).
    int gapStart[texelsPerBlock];
    int low = 255;
    int high = 0;
    int coreLow = 0;  // the third lowest step
    int coreHigh = 0; // the third highest step
    int lowestBase = 0;
    int highestBase = 255;
    // Each texel's sweep error to the highest and the lowest value the variant reconstructs,
    // where levels beyond them clamp.
    std::uint16_t toTop[texelsPerBlock];
    std::uint16_t toBottom[texelsPerBlock];
};

// The range a variant reconstructs, in target units.
int topTarget(EacVariant variant)
{
    return variant == EacVariant::Alpha8 ? 255 : (variant == EacVariant::Signed11 ? 1023 : 2047) * elevenBitTargetScale;
}

int bottomTarget(EacVariant variant) { return variant == EacVariant::Signed11 ? -1023 * elevenBitTargetScale : 0; }

// A distance in target units as a sweep error (squared substeps), capped.
std::uint16_t sweepError(EacVariant variant, int distance)
{
    const int unit = variant == EacVariant::Alpha8 ? 1 : 8 * elevenBitTargetScale / elevenBitSweepResolution;
    return static_cast<std::uint16_t>(std::min((distance * distance + unit * unit / 2) / (unit * unit), cappedError));
}

Block makeBlock(const int (&samples)[texelsPerBlock], EacVariant variant)
{
    Block block{};
    block.variant = variant;
    block.scale = variant == EacVariant::Alpha8 ? 1 : elevenBitTargetScale;
    int sorted[texelsPerBlock];
    for (int i = 0; i < texelsPerBlock; ++i) {
        block.targets[i] = exactTarget(variant, samples[i]);
        block.swept[i] = static_cast<std::int16_t>(sweptStep(variant, block.targets[i]));
        sorted[i] = block.swept[i];
        const int resolution = variant == EacVariant::Alpha8 ? 1 : elevenBitSweepResolution;
        const int substep = sweptSubstep(variant, block.targets[i]);
        const int step = floorQuotient(substep, resolution);
        block.gapStart[i] = (substep - step * resolution) * gapEntries + highestGap - step;
    }
    for (int i = 0; i < texelsPerBlock; ++i) {
        block.toTop[i] = sweepError(variant, topTarget(variant) - block.targets[i]);
        block.toBottom[i] = sweepError(variant, block.targets[i] - bottomTarget(variant));
    }
    std::sort(sorted, sorted + texelsPerBlock);
    block.low = sorted[0];
    block.high = sorted[texelsPerBlock - 1];
    block.coreLow = sorted[2];
    block.coreHigh = sorted[texelsPerBlock - 3];
    if (variant == EacVariant::Signed11) {
        block.lowestBase = -127; // -128 would only repeat -127
        block.highestBase = 127;
    }
    return block;
}

struct Trial {
    int table = 0;
    int multiplier = 0;
    int base = 0;
    std::int64_t error = INT64_MAX;
};

// The eight reconstructed values of a candidate, in target units.
void levelsOf(const Block& block, int table, int multiplier, int base, int (&levels)[8])
{
    for (int k = 0; k < 8; ++k) {
        levels[k] = eacValue(block.variant, base, multiplier, eacModifiers[table][k]) * block.scale;
    }
}

// Exact error of one candidate: each texel's squared distance to its nearest level, in
// target units (each at most 16376^2). Written for the compiler to vectorise.
std::int64_t exactError(const Block& block, int table, int multiplier, int base)
{
    int levels[8];
    levelsOf(block, table, multiplier, base, levels);
    int nearest[texelsPerBlock];
    std::fill(std::begin(nearest), std::end(nearest), INT_MAX);
    for (int level : levels) {
        for (int i = 0; i < texelsPerBlock; ++i) {
            const int d = block.targets[i] - level;
            nearest[i] = std::min(nearest[i], d * d);
        }
    }
    std::int64_t error = 0;
    for (int e : nearest) {
        error += e;
    }
    return error;
}

void tryCandidate(const Block& block, int table, int multiplier, int base, Trial& best)
{
    if (base < block.lowestBase || base > block.highestBase) {
        return;
    }
    const std::int64_t error = exactError(block, table, multiplier, base);
    if (error < best.error) {
        best = {table, multiplier, base, error};
    }
}

// For every table and multiplier from 1, g(x) = the squared distance from x to the nearest
// of the scaled modifiers, capped, where x counts in 1/resolution of a level step. Stored per
// phase x mod resolution, each from x = highestGap steps downwards in whole steps, so that
// consecutive bases read consecutive entries.
class GapTables {
public:
    explicit GapTables(int resolution) : resolution(resolution), gaps(16 * 16 * resolution * gapEntries)
    {
        for (int table = 0; table < 16; ++table) {
            for (int multiplier = 1; multiplier <= 15; ++multiplier) {
                for (int phase = 0; phase < resolution; ++phase) {
                    fill(table, multiplier, phase);
                }
            }
        }
    }

    const std::uint16_t* of(int table, int multiplier) const
    {
        return &gaps[static_cast<std::size_t>(table * 16 + multiplier) * resolution * gapEntries];
    }

private:
    void fill(int table, int multiplier, int phase)
    {
        std::uint16_t* out =
            &gaps[(static_cast<std::size_t>(table * 16 + multiplier) * resolution + phase) * gapEntries];
        for (int j = 0; j < gapEntries; ++j) {
            const int x = resolution * (highestGap - j) + phase;
            int nearest = INT_MAX;
            for (int modifier : eacModifiers[table]) {
                nearest = std::min(nearest, squared(x - resolution * multiplier * modifier));
            }
            out[j] = static_cast<std::uint16_t>(std::min(nearest, cappedError));
        }
    }

    int resolution;
    std::vector<std::uint16_t> gaps;
};

const GapTables& gapTables(EacVariant variant)
{
    static const GapTables bytes(1);
    static const GapTables halfSteps(elevenBitSweepResolution);
    return variant == EacVariant::Alpha8 ? bytes : halfSteps;
}

struct Swept {
    int base = 0;
    int error = INT_MAX;
};

// From which base up the top level clamps to the top value, and up to which the bottom one
// clamps to the bottom value.
struct ClampingBases {
    int top;
    int bottom;
};

ClampingBases clampingBases(EacVariant variant, int table, int multiplier)
{
    const int* m = eacModifiers[table];
    switch (variant) {
    case EacVariant::Unsigned11: // 8b + 4 + 8 m k reaches 2047 from b = 256 - m k, 0 up to b = -1 - m k
        return {256 - multiplier * m[7], -1 - multiplier * m[3]};
    case EacVariant::Signed11: // 8b + 8 m k reaches 1023 from b = 128 - m k, -1023 up to b = -128 - m k
        return {128 - multiplier * m[7], -128 - multiplier * m[3]};
    case EacVariant::Alpha8:
        break;
    }
    return {255 - multiplier * m[7], -multiplier * m[3]};
}

// The sums of one group of lanes, where clamping may lower a texel's error to its distance
// from the top or bottom value: a lane's mask is all ones where its base does not clamp, so
// that or-ing it in lifts that bound out of the way. Branch-free, for the vectoriser.
void addClampedErrors(const Block& block, const std::uint16_t* const (&g)[texelsPerBlock], int group, int firstBase,
                      const ClampingBases& clamping, std::uint16_t (&sum)[laneCount])
{
    std::uint16_t notTop[laneCount];
    std::uint16_t notBottom[laneCount];
    for (int lane = 0; lane < laneCount; ++lane) {
        const int base = firstBase + group * laneCount + lane;
        notTop[lane] = base >= clamping.top ? 0 : UINT16_MAX;
        notBottom[lane] = base <= clamping.bottom ? 0 : UINT16_MAX;
    }
#pragma GCC unroll 16
    for (int i = 0; i < texelsPerBlock; ++i) {
        for (int lane = 0; lane < laneCount; ++lane) {
            std::uint16_t e = g[i][group * laneCount + lane];
            e = std::min(e, static_cast<std::uint16_t>(block.toTop[i] | notTop[lane]));
            e = std::min(e, static_cast<std::uint16_t>(block.toBottom[i] | notBottom[lane]));
            sum[lane] = static_cast<std::uint16_t>(sum[lane] + e);
        }
    }
}

// The base with the least error for one table and multiplier, over [firstBase, lastBase],
// with every level taken as exactly base + offset steps: the error of texel c is then
// g(c - base), so one table serves every base. Where levels clamp, a texel's error is at most
// its distance from the clamped value. The loops run over whole groups of lanes so that the
// compiler vectorises them.
Swept sweepBases(const Block& block, int table, int multiplier, int firstBase, int lastBase)
{
    const std::uint16_t* gaps = gapTables(block.variant).of(table, multiplier);
    const ClampingBases clamping = clampingBases(block.variant, table, multiplier);
    const int groups = (lastBase - firstBase) / laneCount + 1;
    // Consecutive bases lower x by one step.
    const std::uint16_t* g[texelsPerBlock];
    for (int i = 0; i < texelsPerBlock; ++i) {
        g[i] = gaps + block.gapStart[i] + firstBase;
    }
    std::uint16_t errors[maxSweep + laneCount];
    for (int group = 0; group < groups; ++group) {
        std::uint16_t sum[laneCount] = {};
        const int groupBase = firstBase + group * laneCount;
        if (groupBase + laneCount - 1 >= clamping.top || groupBase <= clamping.bottom) {
            addClampedErrors(block, g, group, firstBase, clamping, sum);
        } else {
#pragma GCC unroll 16
            for (int i = 0; i < texelsPerBlock; ++i) {
                for (int lane = 0; lane < laneCount; ++lane) {
                    sum[lane] = static_cast<std::uint16_t>(sum[lane] + g[i][group * laneCount + lane]);
                }
            }
        }
        std::copy(sum, sum + laneCount, errors + group * laneCount);
    }
    // Lanes past lastBase must not win.
    std::fill(errors + (lastBase - firstBase + 1), errors + groups * laneCount, UINT16_MAX);
    std::uint16_t least[laneCount];
    std::int16_t leastGroup[laneCount] = {};
    std::copy(errors, errors + laneCount, least);
    for (int group = 1; group < groups; ++group) {
        for (int lane = 0; lane < laneCount; ++lane) {
            const std::uint16_t e = errors[group * laneCount + lane];
            const bool lower = e < least[lane];
            least[lane] = lower ? e : least[lane];
            leastGroup[lane] = lower ? static_cast<std::int16_t>(group) : leastGroup[lane];
        }
    }
    int bestLane = 0;
    for (int lane = 1; lane < laneCount; ++lane) {
        if (least[lane] < least[bestLane]) {
            bestLane = lane;
        }
    }
    return {firstBase + leastGroup[bestLane] * laneCount + bestLane, least[bestLane]};
}

// Bases worth sweeping: from where the top level reaches the top texel to where the bottom
// level reaches the bottom one, widened by `margin`; around the centred base when the
// levels span less than the texels.
void baseRange(const Block& block, int lowestOffset, int highestOffset, int margin, int& first, int& last)
{
    const int fromTop = block.high - highestOffset;
    const int fromBottom = block.low - lowestOffset;
    first = std::min(fromTop, fromBottom) - margin;
    last = std::max(fromTop, fromBottom) + margin;
    first = std::max(first, block.lowestBase);
    last = std::min({last, block.highestBase, first + maxSweep - 1});
}

struct Sweep {
    int table = 0;
    int multiplier = 0;
    Swept result;
};

Sweep sweepMultiplier(const Block& block, int table, int multiplier, int margin)
{
    const int* m = eacModifiers[table];
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
    const int* m = eacModifiers[table];
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
    explicit BestSweeps(int capacity) : capacity(std::min(capacity, maxKept)) { }

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
    static constexpr int maxKept = 32;
    int capacity;
    int count = 0;
    Sweep kept[maxKept];
};

// The 11-bit zero multiplier puts the levels within two steps of the base, at the finest
// spacing: worth trying on blocks of a few steps, whose outer texels it leaves to the end
// levels.
void searchFineSteps(const Block& block, Trial& best)
{
    if (block.high - block.low > 6) {
        return;
    }
    int sum = 0;
    for (std::int16_t step : block.swept) {
        sum += step;
    }
    const int centre = static_cast<int>(std::lround(sum / 16.0));
    for (int table = 0; table < 16; ++table) {
        for (int base = centre - 3; base <= centre + 2; ++base) {
            tryCandidate(block, table, 0, base, best);
        }
    }
}

// Each texel's selector: its nearest level (the first of equals).
EacParams selectorsFor(const Block& block, const Trial& trial)
{
    EacParams p;
    p.base = trial.base;
    p.multiplier = trial.multiplier;
    p.table = trial.table;
    int levels[8];
    levelsOf(block, trial.table, trial.multiplier, trial.base, levels);
    for (int i = 0; i < texelsPerBlock; ++i) {
        int nearest = INT_MAX;
        for (int k = 0; k < 8; ++k) {
            const int d = block.targets[i] - levels[k];
            if (d * d < nearest) {
                nearest = d * d;
                p.selectors[i] = static_cast<std::uint8_t>(k);
            }
        }
    }
    return p;
}

} // namespace

std::uint64_t encodeEacBlock(const int (&samples)[texelsPerBlock], EacVariant variant, const EacEffort& effort)
{
    if (effort.quick) {
        return encodeEacBlockFast(samples, variant);
    }
    const Block block = makeBlock(samples, variant);
    Trial best;
    if (block.high == block.low) {
        // Within one step throughout: alpha stores its one value with a zero multiplier, the
        // 11-bit variants find the values nearest their exact targets among the fine steps.
        if (variant == EacVariant::Alpha8) {
            tryCandidate(block, 0, 0, block.targets[0], best);
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
        const int settled = sweeps[k].result.base;
        for (int base = settled - effort.settledBases; base <= settled + effort.settledBases; ++base) {
            tryCandidate(block, sweeps[k].table, sweeps[k].multiplier, base, best);
        }
    }
    if (variant != EacVariant::Alpha8) {
        searchFineSteps(block, best);
    }
    return packEac(selectorsFor(block, best));
}

} // namespace etc
