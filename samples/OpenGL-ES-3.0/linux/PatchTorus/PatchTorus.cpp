#include "PatchTorusSample.h"

#include "SampleShell.h"

using namespace PatchTorus;

int main()
{
    resourceDirectory = assetsDirectory;

    KorvoSDK::SampleProgram program;
    program.windowWidth = 800;
    program.windowHeight = 600;
    program.apiVersion = KorvoSDK::Es3;
    program.loop = KorvoSDK::SampleLoop::Standard;
    program.setUpSample = setUpSample;
    program.drawFrame = [] {
        drawFrame();
        return true;
    };
    program.tearDownSample = tearDownSample;
    program.platformMissingMessage = "Could not create platform";
    program.setUpFailedMessage = "Graphic setup failed";
    // Both failures end with status 1 after releasing what was made.
    program.cleanShutdownAfterFailedSetUp = true;
    return KorvoSDK::runSample(program);
}
