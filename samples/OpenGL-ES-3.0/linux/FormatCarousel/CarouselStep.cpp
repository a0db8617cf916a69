#include "CarouselStep.h"

#include "ImageTable.h"

namespace FormatCarousel {

unsigned nextImageIndex(unsigned index) { return index >= imageCount - 1 ? 0 : index + 1; }

bool advanceWhenDue(KorvoSDK::Timer& timer, unsigned& index)
{
    if (timer.elapsedSeconds() <= imageDisplaySeconds)
        return false;
    index = nextImageIndex(index);
    timer.reset();
    return true;
}

} // namespace FormatCarousel
