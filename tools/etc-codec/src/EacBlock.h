#ifndef ETC_EAC_BLOCK_H
#define ETC_EAC_BLOCK_H

#include "BlockLayout.h"

#include <cstdint>

// EAC blocks: a base codeword, a multiplier and one of 16 modifier tables, and a 3-bit
// selector per texel. The same layout serves the 11-bit R11/RG11 channels and the 8-bit
// alpha of RGBA8, which reconstruct differently.
namespace etc {

extern const int eacModifiers[16][8];

enum class EacVariant {
    Unsigned11, // 0..2047: base * 8 + 4 + modifier * multiplier * 8; multiplier 0 stands for 1/8
    Signed11,   // -1023..1023: base * 8 + modifier * multiplier * 8; base -128 reads as -127
    Alpha8,     // 0..255: base + modifier * multiplier; multiplier 0 means 0
};

struct EacParams {
    int base = 0; // 0..255, or -128..127 for Signed11
    int multiplier = 0;
    int table = 0;
    std::uint8_t selectors[texelsPerBlock] = {}; // raster order
};

std::uint64_t packEac(const EacParams& params);
EacParams unpackEac(std::uint64_t word, EacVariant variant);

// Reconstructed value of one texel.
inline int eacValue(EacVariant variant, int base, int multiplier, int modifier)
{
    switch (variant) {
    case EacVariant::Unsigned11:
        return std::clamp(base * 8 + 4 + (multiplier == 0 ? modifier : modifier * multiplier * 8), 0, 2047);
    case EacVariant::Signed11: {
        const int b = base < -127 ? -127 : base;
        return std::clamp(b * 8 + (multiplier == 0 ? modifier : modifier * multiplier * 8), -1023, 1023);
    }
    case EacVariant::Alpha8:
        return clamp255(base + modifier * multiplier);
    }
    return 0;
}

// An 8-bit channel value as the value the variant should reconstruct (signed formats map
// c to c / 255 * 2 - 1), and a reconstructed value back as an 8-bit channel value.
int eacTargetFromByte(EacVariant variant, int byte);
int byteFromEacValue(EacVariant variant, int value);

// Values in raster order.
void decodeEac(std::uint64_t word, EacVariant variant, int (&values)[texelsPerBlock]);

} // namespace etc

#endif
