#ifndef ETC_EAC_ENCODER_H
#define ETC_EAC_ENCODER_H

#include "EacBlock.h"
#include "EncoderSettings.h"

#include <cstdint>

// Encoder for EAC blocks, at the variant's own precision (11 bits for R11 and RG11): for
// each modifier table, the multipliers whose reach matches the block's range and the base
// values that centre it, each texel taking its nearest reconstruction.
namespace etc {

// `targets` in the variant's value units (see eacTargetFromByte), raster order.
std::uint64_t encodeEacBlock(const int (&targets)[kBlockTexels], EacVariant variant, const SearchSettings& settings);

} // namespace etc

#endif
