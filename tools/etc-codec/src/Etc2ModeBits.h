#ifndef ETC_ETC2_MODE_BITS_H
#define ETC_ETC2_MODE_BITS_H

#include <cstdint>

// ETC2 has no mode field: a block's mode follows from whether the differential sums
// R + dR, G + dG and B + dB overflow 5 bits. T, H and planar blocks leave a few bits unused
// so that an encoder can make exactly the wanted sum overflow.
namespace etc {

enum class Etc2Mode { Individual, Differential, T, H, Planar };

// Punchthrough blocks have no individual mode: their bit 33 is the opaque bit.
Etc2Mode detectEtc2Mode(std::uint64_t word, bool punchthrough);

// Chooses the bits of `freeBits` (unused by `mode`'s layout) so that the block decodes in
// `mode`. Bit 33 must already be set.
std::uint64_t forceEtc2Mode(std::uint64_t word, std::uint64_t freeBits, Etc2Mode mode);

} // namespace etc

#endif
