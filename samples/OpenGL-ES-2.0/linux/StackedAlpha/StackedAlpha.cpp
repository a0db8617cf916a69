// One ETC1 atlas carries both the colour and its alpha plane; the fragment shader samples
// it twice, so no second texture unit is needed.

#include "AlphaPlaneSample.h"

namespace {

const AlphaPlaneVariant stackedAlpha = {
    "carpetHalved_atlas_mip_", "StackedAlpha_atlastex.vert", "StackedAlpha_atlastex.frag", nullptr, nullptr,
};

} // namespace

int main() { return runAlphaPlaneSample(stackedAlpha); }
