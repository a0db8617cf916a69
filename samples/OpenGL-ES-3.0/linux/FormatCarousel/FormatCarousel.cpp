#include "FormatCarouselSample.h"

#include "SampleShell.h"

int main()
{
    using namespace FormatCarousel;
    using namespace KorvoSDK;

    SampleProgram program;
    program.windowWidth = windowWidth;
    program.windowHeight = windowHeight;
    program.apiVersion = Es3;
    program.setUpSample = setUpSample;
    program.loop = SampleLoop::StopOnFailedFrame;
    program.drawCheckedFrame = drawFrame;
    program.frameTimer = &frameTimer;
    program.tearDownSample = tearDownSample;
    program.startFailures = {"Could not create platform.", "Could not prepare GL objects.", AfterFailedSetUp::ShutDown};
    return runSample(program);
}
