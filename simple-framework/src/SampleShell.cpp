#include "SampleShell.h"

#include "Diagnostics.h"
#include "ErrorChecks.h"
#include "Platform.h"
#include "Timer.h"

#include <cstdlib>

namespace KorvoSDK {

namespace {

constexpr float newInputInterval = 5.0f;

void swapBuffers()
{
    eglSwapBuffers(EGLRuntime::display, EGLRuntime::surface);
}

bool eventEndsLoop(Platform* platform)
{
    return platform->pollWindow() != NoEvent;
}

void runStandardLoop(Platform* platform, const SampleProgram& program)
{
    bool stop = false;
    while (!stop) {
        stop = eventEndsLoop(platform);
        program.drawFrame();
        swapBuffers();
    }
}

// Returns false when a frame failed.
bool runFormatCarouselLoop(Platform* platform, const SampleProgram& program)
{
    if (program.frameTimer != nullptr)
        program.frameTimer->reset();
    bool stop = false;
    bool frameFailed = false;
    while (!stop) {
        stop = eventEndsLoop(platform);
        if (!program.drawFrame()) {
            frameFailed = true;
            stop = true;
        }
        swapBuffers();
    }
    return !frameFailed;
}

void runCellAutomatonLoop(Platform* platform, const SampleProgram& program)
{
    program.drawFrame();
    swapBuffers();
    Timer timer;
    timer.reset();
    bool stop = false;
    while (!stop) {
        if (eventEndsLoop(platform))
            stop = true;
        if (timer.intervalPassed(newInputInterval)) {
            program.newInput();
            program.drawFrame();
            swapBuffers();
        }
    }
}

// Returns false when the loop ended on a failed frame.
bool runLoop(Platform* platform, const SampleProgram& program)
{
    switch (program.loop) {
    case SampleLoop::Standard:
        runStandardLoop(platform, program);
        return true;
    case SampleLoop::FormatCarousel:
        return runFormatCarouselLoop(platform, program);
    case SampleLoop::CellAutomaton:
        runCellAutomatonLoop(platform, program);
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
    Platform* platform = Platform::instance();
    if (platform == nullptr) {
        logError("%s", program.platformMissingMessage);
        return 1;
    }
    // The try before main may have failed where this one succeeded: EGL uses this platform.
    EGLRuntime::platform = platform;
    platform->openWindow(program.windowWidth, program.windowHeight);
    EGLRuntime::initialize(program.apiVersion);
    eglMakeCurrent(EGLRuntime::display, EGLRuntime::surface, EGLRuntime::surface, EGLRuntime::context);
    checkEgl();

    if (!program.setUpSample()) {
        if (program.setUpFailedMessage != nullptr)
            logError("%s", program.setUpFailedMessage);
        if (!program.cleanShutdownAfterFailedSetUp)
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
