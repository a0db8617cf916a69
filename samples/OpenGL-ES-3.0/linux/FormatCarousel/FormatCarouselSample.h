#ifndef FORMAT_CAROUSEL_SAMPLE_H
#define FORMAT_CAROUSEL_SAMPLE_H

#include "Timer.h"

namespace FormatCarousel {

constexpr int windowWidth = 800;
constexpr int windowHeight = 800;

// Consulted by drawFrame; the shell resets it right before the first frame.
extern KorvoSDK::Timer frameTimer;

// Index into imageArray of the format on screen.
extern unsigned currentImageIndex;

// The shell's hooks: GL objects and text renderer; one frame; their release.
bool setUpSample();
bool drawFrame();
void tearDownSample();

} // namespace FormatCarousel

#endif
