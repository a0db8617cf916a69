#include "CellAutomatonSample.h"

#include "SampleShell.h"

int main()
{
    using namespace CellAutomaton;
    using namespace KorvoSDK;

    SampleProgram program;
    program.windowWidth = 800;
    program.windowHeight = 600;
    program.apiVersion = Es3;
    program.setUpSample = setUpSample;
    program.loop = SampleLoop::RedrawOnTimedTick;
    program.drawFrame = drawFrame;
    program.newInput = reseedAutomaton;
    program.tearDownSample = tearDownSample;
    program.startFailures = {"Could not create platform", "Graphics setup failed", AfterFailedSetUp::ExitAtOnce};
    return runSample(program);
}
