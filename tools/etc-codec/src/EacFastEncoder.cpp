#include "EacFastEncoder.h"

#include "EacLevelError.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <iterator>

namespace etc {

namespace {

// The value a texel should reconstruct, rounded to a whole reconstructed value.
int roundedTarget(EacVariant variant, int sample)
{
    switch (variant) {
    case EacVariant::Unsigned11:
        return (sample * 2047 + 32767) / 65535;
    case EacVariant::Signed11: {
        const int twice = 2 * (2 * sample - 65535) * 1023;
        return twice >= 0 ? (twice + 65535) / (2 * 65535) : -((-twice + 65535) / (2 * 65535));
    }
    case EacVariant::Alpha8:
        break;
    }
    return (sample * 255 + 32767) / 65535;
}

struct FastBlock {
    EacVariant variant;
    std::int16_t targets[texelsPerBlock];
    int low;
    int high;
    int sum;
    int step;       // reconstructed units per base step: 8, or 1 for alpha
    int levelShift; // where base 0 reconstructs: 4 for Unsigned11, else 0
    int lowestBase;
    int highestBase;
    int lowestValue;
    int highestValue;
    bool portable; // the portable error loop even where a vector one exists
};

FastBlock makeFastBlock(const int (&samples)[texelsPerBlock], EacVariant variant, bool portable)
{
    FastBlock block{};
    block.variant = variant;
    block.portable = portable;
    block.low = INT_MAX;
    block.high = INT_MIN;
    for (int i = 0; i < texelsPerBlock; ++i) {
        const int t = roundedTarget(variant, samples[i]);
        block.targets[i] = static_cast<std::int16_t>(t);
        block.low = std::min(block.low, t);
        block.high = std::max(block.high, t);
        block.sum += t;
    }
    block.step = variant == EacVariant::Alpha8 ? 1 : 8;
    block.levelShift = variant == EacVariant::Unsigned11 ? 4 : 0;
    block.lowestBase = variant == EacVariant::Signed11 ? -127 : 0;
    block.highestBase = variant == EacVariant::Signed11 ? 127 : 255;
    block.lowestValue = variant == EacVariant::Signed11 ? -1023 : 0;
    block.highestValue = variant == EacVariant::Alpha8 ? 255 : variant == EacVariant::Signed11 ? 1023 : 2047;
    return block;
}

struct Candidate {
    int table = 0;
    int multiplier = 0;
    int base = 0;
    int error = INT_MAX;
};

// The modifiers as 16-bit lanes.
struct Modifiers16 {
    std::int16_t of[16][8];
    Modifiers16() : of{}
    {
        for (int table = 0; table < 16; ++table) {
            for (int k = 0; k < 8; ++k) {
                of[table][k] = static_cast<std::int16_t>(eacModifiers[table][k]);
            }
        }
    }
};

const Modifiers16 modifiers16;

LevelRule levelRule(const FastBlock& block, int table, int multiplier, int base)
{
    const bool alpha = block.variant == EacVariant::Alpha8;
    return {modifiers16.of[table], base * block.step + block.levelShift,
            multiplier == 0 ? (alpha ? 0 : 1) : multiplier * block.step, block.lowestValue, block.highestValue};
}

int errorOf(const FastBlock& block, int table, int multiplier, int base)
{
    const LevelRule rule = levelRule(block, table, multiplier, base);
    return block.portable ? candidateErrorPortable(block.targets, rule) : candidateError(block.targets, rule);
}

void tryCandidate(const FastBlock& block, int table, int multiplier, int base, Candidate& best)
{
    if (base < block.lowestBase || base > block.highestBase || multiplier < 0 || multiplier > 15) {
        return;
    }
    const int error = errorOf(block, table, multiplier, base);
    if (error < best.error) {
        best = {table, multiplier, base, error};
    }
}

// Division rounding to the nearest whole number, halves away from zero.
int roundedQuotient(int numerator, int denominator)
{
    return numerator >= 0 ? (numerator + denominator / 2) / denominator
                          : -((-numerator + denominator / 2) / denominator);
}

// 2^16 / the span of each table's outer modifiers, for a base step of one value and of
// eight: the multiplier that stretches them over a block comes without a division.
struct SpanReciprocals {
    int of[2][16];
    SpanReciprocals() : of{}
    {
        for (int table = 0; table < 16; ++table) {
            const int span = eacModifiers[table][7] - eacModifiers[table][3];
            of[0][table] = (65536 + span / 2) / span;
            of[1][table] = (65536 + 4 * span) / (8 * span);
        }
    }
};

const SpanReciprocals spanReciprocals;

// Each table with its outer modifiers stretched over the block and centred on it.
Candidate spanningCandidate(const FastBlock& block)
{
    Candidate best;
    const int span = block.high - block.low;
    const int twiceCentre = block.low + block.high - 2 * block.levelShift; // from base 0
    const bool elevenBit = block.step == 8;
    const int* reciprocals = spanReciprocals.of[elevenBit ? 1 : 0];
    for (int table = 0; table < 16; ++table) {
        const int* m = eacModifiers[table];
        const int multiplier = std::clamp((span * reciprocals[table] + 32768) >> 16, 1, 15);
        // Twice the base's value, rounded down to whole steps (the shifts divide by 16 or 2).
        const int twiceBase = twiceCentre - multiplier * (m[3] + m[7]) * block.step + block.step;
        const int base = std::clamp(elevenBit ? twiceBase >> 4 : twiceBase >> 1, block.lowestBase, block.highestBase);
        const int error = errorOf(block, table, multiplier, base);
        if (error < best.error) {
            best = {table, multiplier, base, error};
        }
    }
    return best;
}

// The zero multiplier's levels lie within 15 values of the base, at the 11-bit variants'
// finest spacing: worth trying where the block spans less than two base steps.
void tryFineSteps(const FastBlock& block, Candidate& best)
{
    const int centre = roundedQuotient(block.sum - texelsPerBlock * block.levelShift, texelsPerBlock * block.step);
    for (int table = 0; table < 16; ++table) {
        tryCandidate(block, table, 0, centre, best);
    }
}

// Each texel's nearest level, the first of equals; branch-free so that it vectorises.
EacParams selectorsFor(const FastBlock& block, const Candidate& c)
{
    EacParams p;
    p.base = c.base;
    p.multiplier = c.multiplier;
    p.table = c.table;
    std::int16_t levels[8];
    candidateLevelsPortable(levelRule(block, c.table, c.multiplier, c.base), levels);
    std::int16_t nearest[texelsPerBlock];
    std::fill(std::begin(nearest), std::end(nearest), INT16_MAX);
    for (int k = 0; k < 8; ++k) {
        for (int i = 0; i < texelsPerBlock; ++i) {
            const auto d = static_cast<std::int16_t>(std::abs(block.targets[i] - levels[k]));
            const bool nearer = d < nearest[i];
            nearest[i] = nearer ? d : nearest[i];
            p.selectors[i] = nearer ? static_cast<std::uint8_t>(k) : p.selectors[i];
        }
    }
    return p;
}

} // namespace

std::uint64_t encodeEacBlockFast(const int (&samples)[texelsPerBlock], EacVariant variant, bool portable)
{
    const FastBlock block = makeFastBlock(samples, variant, portable);
    Candidate best;
    if (variant == EacVariant::Alpha8 && block.high == block.low) {
        best = {0, 0, block.low, 0}; // a zero multiplier reconstructs the base itself
        return packEac(selectorsFor(block, best));
    }
    if (variant != EacVariant::Alpha8 && block.high - block.low < 2 * block.step) {
        tryFineSteps(block, best);
        return packEac(selectorsFor(block, best));
    }
    best = spanningCandidate(block);
    const Candidate spanning = best;
    for (int step : {-1, 1}) {
        tryCandidate(block, spanning.table, spanning.multiplier, spanning.base + step, best);
        if (spanning.multiplier + step > 0) {
            tryCandidate(block, spanning.table, spanning.multiplier + step, spanning.base, best);
        }
    }
    return packEac(selectorsFor(block, best));
}

} // namespace etc
