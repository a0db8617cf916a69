#include "FormatCarouselSample.h"

#include "SampleShell.h"

int main()
{
    using namespace FormatCarousel;

    KorvoSDK::SampleProgram program;
    program.windowWidth = windowWidth;
    program.windowHeight = windowHeight;
    program.apiVersion = KorvoSDK::Es3;
    program.loop = KorvoSDK::SampleLoop::FormatCarousel;
    program.setUpSample = setUpSample;
    program.drawFrame = drawFrame;
    program.tearDownSample = tearDownSample;
    program.frameTimer = &frameTimer;
    program.platformMissingMessage = "Could not create platform.";
    program.setUpFailedMessage = "Could not prepare GL objects.";
    // A failed set-up releases EGL and the window, then ends with status 1.
    program.cleanShutdownAfterFailedSetUp = true;
    return KorvoSDK::runSample(program);
}
