#ifndef FORMAT_CAROUSEL_CAROUSEL_STEP_H
#define FORMAT_CAROUSEL_CAROUSEL_STEP_H

#include "Timer.h"

namespace FormatCarousel {

// How long each format stays on screen: strictly more than this many seconds.
constexpr float imageDisplaySeconds = 5.0f;

// The index shown after `index`: the next one, and the first again after the last.
unsigned nextImageIndex(unsigned index);

// Moves `index` on by one, and restarts the timer, once more than imageDisplaySeconds have
// passed since the timer's last reset. However long the caller was away, it is one step.
// Returns whether it stepped.
bool advanceWhenDue(KorvoSDK::Timer& timer, unsigned& index);

} // namespace FormatCarousel

#endif
