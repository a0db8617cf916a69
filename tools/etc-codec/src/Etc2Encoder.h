#ifndef ETC_ETC2_ENCODER_H
#define ETC_ETC2_ENCODER_H

#include "BlockLayout.h"
#include "EncoderSettings.h"

#include <cstdint>

// Colour blocks of the ETC2 formats: every mode's search runs and the block whose decoded
// texels lie nearest the source wins.
namespace etc {

std::uint64_t encodeEtc2Block(const PixelBlock& block, const SearchSettings& settings);

// Texels with alpha below 128 become transparent; the error counts the others' RGB.
std::uint64_t encodePunchthroughBlock(const PixelBlock& block, const SearchSettings& settings);

} // namespace etc

#endif
