#ifndef ETC_EAC_ENCODER_H
#define ETC_EAC_ENCODER_H

#include "EacBlock.h"
#include "EncoderSettings.h"

#include <cstdint>

// Encoder for EAC blocks: for each modifier table, the multipliers whose reach matches the
// block's range and the base values that centre it, each texel taking its best
// reconstruction. The sources are 8-bit, so a reconstruction counts as the byte it maps
// back to (byteFromEacValue): every 11-bit value that rounds back to the source byte
// reproduces it exactly; among those the selector takes the one nearest the exact value.
namespace etc {

// One channel's 8-bit source values, raster order.
std::uint64_t encodeEacBlock(const int (&bytes)[kBlockTexels], EacVariant variant, const SearchSettings& settings);

} // namespace etc

#endif
