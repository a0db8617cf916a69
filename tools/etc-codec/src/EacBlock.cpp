#include "EacBlock.h"

namespace etc {

const int eacModifiers[16][8] = {
    {-3, -6, -9, -15, 2, 5, 8, 14}, {-3, -7, -10, -13, 2, 6, 9, 12}, {-2, -5, -8, -13, 1, 4, 7, 12},
    {-2, -4, -6, -13, 1, 3, 5, 12}, {-3, -6, -8, -12, 2, 5, 7, 11},  {-3, -7, -9, -11, 2, 6, 8, 10},
    {-4, -7, -8, -11, 3, 6, 7, 10}, {-3, -5, -8, -11, 2, 4, 7, 10},  {-2, -6, -8, -10, 1, 5, 7, 9},
    {-2, -5, -8, -10, 1, 4, 7, 9},  {-2, -4, -8, -10, 1, 3, 7, 9},   {-2, -5, -7, -10, 1, 4, 6, 9},
    {-3, -4, -7, -10, 2, 3, 6, 9},  {-1, -2, -3, -10, 0, 1, 2, 9},   {-4, -6, -8, -9, 3, 5, 7, 8},
    {-3, -5, -7, -9, 2, 4, 6, 8},
};

namespace {

int selectorLowBit(int rasterIndex) { return 45 - 3 * storedTexelNumber(rasterIndex); }

// Integer division rounding halves away from zero.
int roundedQuotient(int numerator, int denominator)
{
    return numerator >= 0 ? (numerator + denominator / 2) / denominator
                          : -((-numerator + denominator / 2) / denominator);
}

} // namespace

std::uint64_t packEac(const EacParams& p)
{
    std::uint64_t word = placeField(static_cast<unsigned>(p.base) & 0xFF, 56, 8);
    word |= placeField(p.multiplier, 52, 4) | placeField(p.table, 48, 4);
    for (int i = 0; i < texelsPerBlock; ++i) {
        word |= placeField(p.selectors[i], selectorLowBit(i), 3);
    }
    return word;
}

EacParams unpackEac(std::uint64_t word, EacVariant variant)
{
    EacParams p;
    p.base = variant == EacVariant::Signed11 ? signedField(word, 56, 8) : static_cast<int>(bitField(word, 56, 8));
    p.multiplier = static_cast<int>(bitField(word, 52, 4));
    p.table = static_cast<int>(bitField(word, 48, 4));
    for (int i = 0; i < texelsPerBlock; ++i) {
        p.selectors[i] = static_cast<std::uint8_t>(bitField(word, selectorLowBit(i), 3));
    }
    return p;
}

int eacTargetFromByte(EacVariant variant, int byte)
{
    switch (variant) {
    case EacVariant::Unsigned11:
        return roundedQuotient(byte * 2047, 255);
    case EacVariant::Signed11:
        return roundedQuotient((2 * byte - 255) * 1023, 255);
    case EacVariant::Alpha8:
        break;
    }
    return byte;
}

int byteFromEacValue(EacVariant variant, int value)
{
    switch (variant) {
    case EacVariant::Unsigned11:
        return roundedQuotient(value * 255, 2047);
    case EacVariant::Signed11:
        return roundedQuotient((value + 1023) * 255, 2046);
    case EacVariant::Alpha8:
        break;
    }
    return value;
}

void decodeEac(std::uint64_t word, EacVariant variant, int (&values)[texelsPerBlock])
{
    const EacParams p = unpackEac(word, variant);
    for (int i = 0; i < texelsPerBlock; ++i) {
        values[i] = eacValue(variant, p.base, p.multiplier, eacModifiers[p.table][p.selectors[i]]);
    }
}

} // namespace etc
