#ifndef ETC_EAC_FAST_ENCODER_H
#define ETC_EAC_FAST_ENCODER_H

#include "EacBlock.h"

#include <cstdint>

// The quick EAC search: each modifier table at the multiplier whose outer modifiers span the
// block and the base that centres them, then the best of those moved by one base step and
// one multiplier step; near-flat 11-bit blocks also try the zero multiplier's fine steps.
// Judged like the full search (11-bit values, or bytes for alpha), against targets rounded
// to whole values. The inner loop runs on the vector unit where there is one
// (EacLevelError.h); `portable` asks for the plain loop, which gives the same bytes.
namespace etc {

// Source values on the 16-bit scale, raster order, as for encodeEacBlock.
std::uint64_t encodeEacBlockFast(const int (&samples)[texelsPerBlock], EacVariant variant, bool portable = false);

} // namespace etc

#endif
