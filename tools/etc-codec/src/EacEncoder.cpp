#include "EacEncoder.h"

#include <climits>
#include <cmath>
#include <iterator>

namespace etc {

namespace {

// How a variant turns base and multiplier into values: base * baseScale + baseOffset plus
// modifier times the multiplier's step.
struct VariantShape {
    int baseScale;
    int baseOffset;
    int lowestBase;
    int highestBase;
    // Step of one modifier unit per multiplier unit.
    int multiplierUnit;
    // Whether a zero multiplier is a finer step (11-bit) rather than a flat block (8-bit).
    bool zeroIsFine;
};

VariantShape shapeOf(EacVariant variant)
{
    switch (variant) {
    case EacVariant::Unsigned11:
        return {8, 4, 0, 255, 8, true};
    case EacVariant::Signed11:
        return {8, 0, -127, 127, 8, true}; // -128 would only repeat -127
    case EacVariant::Alpha8:
        break;
    }
    return {1, 0, 0, 255, 1, false};
}

int multiplierStep(const VariantShape& shape, int multiplier)
{
    if (multiplier == 0) {
        return shape.zeroIsFine ? 1 : 0;
    }
    return multiplier * shape.multiplierUnit;
}

struct Trial {
    EacParams params;
    long error = LONG_MAX;
};

void evaluate(const int (&targets)[kBlockTexels], EacVariant variant, int table, int multiplier, int base, Trial& best)
{
    int values[8];
    for (int k = 0; k < 8; ++k) {
        values[k] = eacValue(variant, base, multiplier, kEacModifiers[table][k]);
    }
    long error = 0;
    std::uint8_t selectors[kBlockTexels];
    for (int i = 0; i < kBlockTexels; ++i) {
        int bestError = INT_MAX;
        int bestSelector = 0;
        for (int k = 0; k < 8; ++k) {
            const int e = squared(values[k] - targets[i]);
            if (e < bestError) {
                bestError = e;
                bestSelector = k;
            }
        }
        selectors[i] = static_cast<std::uint8_t>(bestSelector);
        error += bestError;
        if (error >= best.error) {
            return;
        }
    }
    best.error = error;
    best.params.base = base;
    best.params.multiplier = multiplier;
    best.params.table = table;
    std::copy(std::begin(selectors), std::end(selectors), best.params.selectors);
}

} // namespace

std::uint64_t encodeEacBlock(const int (&targets)[kBlockTexels], EacVariant variant, const SearchSettings& settings)
{
    const VariantShape shape = shapeOf(variant);
    const auto [lowIt, highIt] = std::minmax_element(std::begin(targets), std::end(targets));
    const int low = *lowIt;
    const int high = *highIt;
    const double centre = (low + high) / 2.0;
    Trial best;
    for (int table = 0; table < 16; ++table) {
        const int smallest = kEacModifiers[table][3];
        const int largest = kEacModifiers[table][7];
        const int width = largest - smallest;
        const double ideal = (high - low) / static_cast<double>(width * shape.multiplierUnit);
        const int nearest = std::clamp(static_cast<int>(std::lround(ideal)), 1, 15);
        int multipliers[32];
        int count = 0;
        for (int m = nearest - settings.eacMultiplierReach; m <= nearest + settings.eacMultiplierReach; ++m) {
            if (m >= 1 && m <= 15) {
                multipliers[count++] = m;
            }
        }
        // A zero multiplier: 1/8 steps for the 11-bit variants, a flat block for alpha.
        if (shape.zeroIsFine ? (high - low) <= 2 * width : high == low) {
            multipliers[count++] = 0;
        }
        for (int k = 0; k < count; ++k) {
            const int m = multipliers[k];
            const int step = multiplierStep(shape, m);
            const double middle = (smallest + largest) / 2.0 * step;
            const int centred = static_cast<int>(std::lround((centre - shape.baseOffset - middle) / shape.baseScale));
            for (int base = centred - settings.eacBaseReach; base <= centred + settings.eacBaseReach; ++base) {
                evaluate(targets, variant, table, m, std::clamp(base, shape.lowestBase, shape.highestBase), best);
            }
        }
    }
    return packEac(best.params);
}

} // namespace etc
