#include "SampleShell.h"

#include "Diagnostics.h"
#include "ErrorChecks.h"
#include "Platform.h"
#include "Timer.h"

#include <cstdlib>

namespace KorvoSDK {

namespace {

constexpr float tickInterval = 5.0f;

void swapBuffers() { eglSwapBuffers(EGLRuntime::display, EGLRuntime::surface); }

bool eventEndsLoop(Platform* platform) { return platform->pollWindow() != NoEvent; }

void runEveryFrameLoop(Platform* platform, const SampleProgram& program)
{
    bool stop = false;
    while (!stop) {
        stop = eventEndsLoop(platform);
        program.drawFrame();
        swapBuffers();
    }
}

// Returns false when a frame failed.
bool runStopOnFailedFrameLoop(Platform* platform, const SampleProgram& program)
{
    if (program.frameTimer != nullptr)
        program.frameTimer->reset();
    bool stop = false;
    bool frameFailed = false;
    while (!stop) {
        stop = eventEndsLoop(platform);
        if (!program.drawCheckedFrame()) {
            frameFailed = true;
            stop = true;
        }
        swapBuffers();
    }
    return !frameFailed;
}

// A turn that draws nothing is followed by a sleep until the window has an event or the
// tick is due, so that the program costs nothing between its pictures.
void runRedrawOnTimedTickLoop(Platform* platform, const SampleProgram& program)
{
    program.drawFrame();
    swapBuffers();
    Timer timer;
    timer.reset();
    bool stop = false;
    while (!stop) {
        if (eventEndsLoop(platform))
            stop = true;
        if (timer.intervalPassed(tickInterval)) {
            program.newInput();
            program.drawFrame();
            swapBuffers();
        } else if (!stop) {
            platform->waitForEvent(timer.secondsUntilInterval(tickInterval));
        }
    }
}

// Returns false when the loop ended on a failed frame.
bool runLoop(Platform* platform, const SampleProgram& program)
{
    switch (program.loop) {
    case SampleLoop::EveryFrame:
        runEveryFrameLoop(platform, program);
        return true;
    case SampleLoop::StopOnFailedFrame:
        return runStopOnFailedFrameLoop(platform, program);
    case SampleLoop::RedrawOnTimedTick:
        runRedrawOnTimedTickLoop(platform, program);
        return true;
    }
    return true;
}

void shutDown(Platform* platform)
{
    EGLRuntime::terminate();
    platform->closeWindow();
    Platform::release(platform);
}

} // namespace

int runSample(const SampleProgram& program)
{
    const StartFailures& failures = program.startFailures;
    Platform* platform = Platform::instance();
    if (platform == nullptr) {
        logError("%s", failures.platformMissing);
        return 1;
    }
    // Static initialisation may have found no memory for the object that exists now.
    EGLRuntime::platform = platform;
    platform->openWindow(program.windowWidth, program.windowHeight);
    EGLRuntime::initialize(program.apiVersion);
    eglMakeCurrent(EGLRuntime::display, EGLRuntime::surface, EGLRuntime::surface, EGLRuntime::context);
    checkEgl();

    if (!program.setUpSample()) {
        if (failures.setUpFailed != nullptr)
            logError("%s", failures.setUpFailed);
        if (failures.afterFailedSetUp == AfterFailedSetUp::ExitAtOnce)
            exit(1);
        shutDown(platform);
        return 1;
    }

    const bool framesSucceeded = runLoop(platform, program);
    program.tearDownSample();
    shutDown(platform);
    return framesSucceeded ? 0 : 1;
}

} // namespace KorvoSDK
