// Runs in the application shell and reports what the shell does with it, so the tests can
// check every loop variant and failure path on a real window:
//
//   ShellProbe <every-frame|stop-on-failed-frame|timed-tick> [es2|es3] [fail-setup] [fail-frame=N]
//
// Each frame clears to (0.25, 0.5, 0.75) and prints "frame <n> click <x> <y>" with the
// platform's last click position; new input prints "new input", tear-down "tear down".
// With PROBE_NO_PLATFORM set in the environment the platform object cannot be allocated;
// with PROBE_NO_PLATFORM_BEFORE_MAIN only the first try, during static initialisation, fails.

#include "Diagnostics.h"
#include "ErrorChecks.h"
#include "Platform.h"
#include "SampleShell.h"
#include "Timer.h"

#include <GLES2/gl2.h>

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

// The platform is the one object the framework allocates with nothrow new, before main.
// Otherwise the ordinary operator new, so that the platform's delete matches its allocation.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    static bool firstCall = true;
    const bool failsFirst = firstCall && getenv("PROBE_NO_PLATFORM_BEFORE_MAIN") != nullptr;
    firstCall = false;
    if (failsFirst || getenv("PROBE_NO_PLATFORM") != nullptr)
        return nullptr;
    try {
        return ::operator new(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

using namespace KorvoSDK;

namespace {

int frameCount = 0;
int failingFrame = -1;
Timer frameTimer;

bool drawCheckedFrame()
{
    glClearColor(0.25f, 0.5f, 0.75f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    checkGl();
    const Platform* platform = Platform::instance();
    logLine("frame %d click %d %d", frameCount, platform->clickX, platform->clickY);
    return frameCount++ != failingFrame;
}

void drawFrame() { drawCheckedFrame(); }

SampleLoop loopNamed(const std::string& name)
{
    if (name == "stop-on-failed-frame")
        return SampleLoop::StopOnFailedFrame;
    if (name == "timed-tick")
        return SampleLoop::RedrawOnTimedTick;
    return SampleLoop::EveryFrame;
}

} // namespace

int main(int argc, char** argv)
{
    SampleProgram program;
    program.windowWidth = 320;
    program.windowHeight = 240;
    program.apiVersion = Es3;
    program.loop = argc > 1 ? loopNamed(argv[1]) : SampleLoop::EveryFrame;
    bool failSetUp = false;
    for (int i = 2; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "es2")
            program.apiVersion = Es2;
        else if (argument == "fail-setup")
            failSetUp = true;
        else if (argument.rfind("fail-frame=", 0) == 0)
            failingFrame = std::atoi(argument.c_str() + strlen("fail-frame="));
    }
    program.setUpSample = [failSetUp] { return !failSetUp; };
    program.drawFrame = drawFrame;
    program.drawCheckedFrame = drawCheckedFrame;
    program.newInput = [] { logLine("new input"); };
    program.frameTimer = &frameTimer;
    program.tearDownSample = [] { logLine("tear down"); };
    const AfterFailedSetUp afterFailedSetUp =
        program.loop == SampleLoop::RedrawOnTimedTick ? AfterFailedSetUp::ExitAtOnce : AfterFailedSetUp::ShutDown;
    program.startFailures = {"Could not create platform", "Probe set-up failed", afterFailedSetUp};
    return runSample(program);
}
