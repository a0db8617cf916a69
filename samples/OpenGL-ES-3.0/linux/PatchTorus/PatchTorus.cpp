#include "PatchTorusSample.h"

#include "SampleShell.h"

int main()
{
    using namespace PatchTorus;
    using namespace KorvoSDK;

    resourceDirectory = assetsDirectory;

    SampleProgram program;
    program.windowWidth = 800;
    program.windowHeight = 600;
    program.apiVersion = Es3;
    program.setUpSample = setUpSample;
    program.loop = SampleLoop::EveryFrame;
    program.drawFrame = drawFrame;
    program.tearDownSample = tearDownSample;
    program.startFailures = {"Could not create platform", "Graphic setup failed", AfterFailedSetUp::ShutDown};
    return runSample(program);
}
