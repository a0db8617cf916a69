#ifndef ETC_PLANAR_ENCODER_H
#define ETC_PLANAR_ENCODER_H

#include "BlockLayout.h"
#include "EncoderSettings.h"
#include "PlanarBlock.h"

// Encoder for ETC2's planar mode: a least-squares plane per channel, rounded to the stored
// bits and, if the settings ask, improved over the neighbouring codes of its three corners.
namespace etc {

struct PlanarCandidate {
    PlanarParams params;
    long error = 0;
};

PlanarCandidate encodePlanarMode(const PixelBlock& block, const SearchSettings& settings);

} // namespace etc

#endif
