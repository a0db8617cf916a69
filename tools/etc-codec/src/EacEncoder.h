#ifndef ETC_EAC_ENCODER_H
#define ETC_EAC_ENCODER_H

#include "EacBlock.h"
#include "EncoderSettings.h"

#include <cstdint>

// Encoder for EAC blocks: for each modifier table and the multipliers near the ones that
// span the block (or its core), every base is swept at once from a table of squared
// distances; the best few then settle on the exact error. The sources are 8-bit, so a
// reconstruction counts as the byte it maps back to (byteFromEacValue): every 11-bit value
// that rounds back to the source byte reproduces it exactly; among equal candidates and
// selectors the one nearest the exact 11-bit value wins.
namespace etc {

// One channel's 8-bit source values, raster order.
std::uint64_t encodeEacBlock(const int (&bytes)[kBlockTexels], EacVariant variant, const EacEffort& effort);

} // namespace etc

#endif
