#ifndef TEXTURE_OPS_IMAGE_COMPARE_H
#define TEXTURE_OPS_IMAGE_COMPARE_H

#include "EtcCodec.h"

namespace texops {

// Peak signal-to-noise ratio in dB against a peak of 255; infinite where equal.
struct PsnrReport {
    double channel[4]; // R, G, B, A
    double rgb;        // over the three colour channels together
};

// The images must have the same size.
PsnrReport comparePsnr(const etc::Image& reference, const etc::Image& candidate);

} // namespace texops

#endif
