#include "ComponentGrid.h"

#include "BlockLayout.h"

#include <array>
#include <cstdlib>

namespace etc {

namespace {

int widen(int bits, int code)
{
    switch (bits) {
    case 4:
        return extend4(code);
    case 5:
        return extend5(code);
    case 6:
        return extend6(code);
    default:
        return extend7(code);
    }
}

struct NearestCodes {
    std::array<std::array<unsigned char, 256>, 4> table{};

    NearestCodes()
    {
        for (int bits = 4; bits <= 7; ++bits) {
            int code = 0;
            for (int value = 0; value < 256; ++value) {
                const int last = (1 << bits) - 1;
                while (code < last && std::abs(widen(bits, code + 1) - value) <= std::abs(widen(bits, code) - value)) {
                    ++code;
                }
                table[bits - 4][value] = static_cast<unsigned char>(code);
            }
        }
    }
};

const NearestCodes& nearestCodes()
{
    static const NearestCodes codes;
    return codes;
}

int componentError(const int* values, const int* offsets, int count, int base)
{
    int error = 0;
    for (int i = 0; i < count; ++i) {
        error += squared(clamp255(base + offsets[i]) - values[i]);
    }
    return error;
}

// Integer division rounding to nearest, for any sign of the numerator.
int roundedQuotient(int numerator, int denominator)
{
    return numerator >= 0 ? (numerator + denominator / 2) / denominator : -((-numerator + denominator / 2) / denominator);
}

} // namespace

int gridValue(int bits, int code) { return widen(bits, code); }

int nearestCode(int bits, int value) { return nearestCodes().table[bits - 4][clamp255(value)]; }

ComponentFit fitComponent(const int* values, const int* offsets, int count, int bits, int lowCode, int highCode)
{
    if (count == 0) {
        return {lowCode, 0};
    }
    int sum = 0;
    for (int i = 0; i < count; ++i) {
        sum += values[i] - offsets[i];
    }
    const int centre = std::clamp(nearestCode(bits, roundedQuotient(sum, count)), lowCode, highCode);
    ComponentFit best{centre, componentError(values, offsets, count, widen(bits, centre))};
    for (int code : {centre - 1, centre + 1}) {
        if (code < lowCode || code > highCode) {
            continue;
        }
        const int error = componentError(values, offsets, count, widen(bits, code));
        if (error < best.error) {
            best = {code, error};
        }
    }
    return best;
}

} // namespace etc
