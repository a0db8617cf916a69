#ifndef ETC_FAST_SUBBLOCK_ENCODER_H
#define ETC_FAST_SUBBLOCK_ENCODER_H

#include "BlockLayout.h"
#include "Etc1Block.h"
#include "Etc1Encoder.h"
#include "FastPaletteSearch.h"

#include <cstdint>

// The fast effort's encoder for the subblock modes. The flip whose halves spread less is
// taken; each half starts from its mean colour at 5 bits (when the two means lie too far
// apart for a differential block, the better of 4-bit means and a second base pulled within
// reach of the first) and takes the modifier table that fits best; then each base is refitted
// to its texels' chosen modifiers once. Every table is scored exactly, clamping included, by the
// vector kernels of FastPaletteSearch, so no estimate decides the table.
namespace etc {

// `kernel` must be one of availablePaletteKernels(); every kernel gives the same block. The
// error is the decoded block's.
SubblockCandidate encodeSubblockModesFast(const PixelBlock& block, PaletteKernel kernel);

// A GL_ETC1_RGB8_OES block at the fast effort, with the fastest kernel.
std::uint64_t encodeEtc1BlockFast(const PixelBlock& block);

} // namespace etc

#endif
