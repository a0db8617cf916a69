#ifndef ETC_FAST_TH_ENCODER_H
#define ETC_FAST_TH_ENCODER_H

#include "BlockLayout.h"
#include "FastPaletteSearch.h"
#include "ThBlock.h"
#include "ThEncoder.h"

// The fast effort's encoder for ETC2's T and H modes. The texels split in two groups across
// their principal axis (one round of two-means tidies the split); the groups' mean colours
// at 4 bits make the two base colours, and every distance of H and of T (the smaller group
// alone) is scored exactly by the palette kernels.
namespace etc {

// `kernel` must be one of availablePaletteKernels(); every kernel gives the same block. The
// error is the decoded block's.
ThCandidate encodeThModesFast(const PixelBlock& block, PaletteKernel kernel);

} // namespace etc

#endif
