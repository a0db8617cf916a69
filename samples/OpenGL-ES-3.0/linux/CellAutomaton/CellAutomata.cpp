#include "CellAutomatonSample.h"

#include "SampleShell.h"

int main()
{
    using namespace CellAutomaton;

    KorvoSDK::SampleProgram program;
    program.windowWidth = 800;
    program.windowHeight = 600;
    program.apiVersion = KorvoSDK::Es3;
    program.loop = KorvoSDK::SampleLoop::CellAutomaton;
    program.setUpSample = setUpSample;
    program.drawFrame = [] {
        drawFrame();
        return true;
    };
    program.newInput = reseedAutomaton;
    program.tearDownSample = tearDownSample;
    program.platformMissingMessage = "Could not create platform";
    program.setUpFailedMessage = "Graphics setup failed";
    program.cleanShutdownAfterFailedSetUp = false;
    return KorvoSDK::runSample(program);
}
