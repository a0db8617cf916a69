#ifndef ETC_EAC_ENCODER_H
#define ETC_EAC_ENCODER_H

#include "EacBlock.h"
#include "EncoderSettings.h"

#include <cstdint>

// Encoder for EAC blocks: for each modifier table and the multipliers near the ones that
// span the block (or its core), every base is swept at once from a table of squared
// distances; the best few then settle on the exact error. R11 and RG11 blocks are judged
// by the 11-bit values a GPU samples against the source at full precision; the alpha blocks
// of RGBA8 by the bytes they reconstruct.
namespace etc {

// One channel's source values on the 16-bit scale (0..65535; a byte b is b * 257), raster
// order.
std::uint64_t encodeEacBlock(const int (&samples)[texelsPerBlock], EacVariant variant, const EacEffort& effort);

} // namespace etc

#endif
