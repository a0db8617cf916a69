#ifndef KORVO_SAMPLE_SHELL_H
#define KORVO_SAMPLE_SHELL_H

#include "EGLRuntime.h"

#include <functional>

namespace KorvoSDK {

class Timer;

enum class SampleLoop {
    // Poll, draw, swap, until the window reports an event (a close request or a click);
    // the turn that sees the event still draws and swaps.
    Standard,
    // As Standard, and a drawFrame that returns false also ends the loop, as a failure.
    // The program's frame timer is reset right before the first frame.
    FormatCarousel,
    // One frame right after set-up, then new input, a frame and a swap only when more than
    // five seconds have passed since the last time; nothing is drawn in between.
    CellAutomaton,
};

// What a windowed program supplies to the shell: its hooks and how it starts and fails.
struct SampleProgram {
    std::int32_t windowWidth = 0;
    std::int32_t windowHeight = 0;
    ClientApiVersion apiVersion = Es2;
    SampleLoop loop = SampleLoop::Standard;

    std::function<bool()> setUpSample;    // false: set-up failed
    std::function<bool()> drawFrame;      // false ends the FormatCarousel loop; ignored elsewhere
    std::function<void()> tearDownSample;
    std::function<void()> newInput;       // CellAutomaton: before each timed frame
    Timer* frameTimer = nullptr;          // FormatCarousel: reset before the first frame

    // logError text when Platform::instance() yields nothing.
    const char* platformMissingMessage = "Could not create platform";
    // logError text when set-up fails; null prints nothing more (set-up printed its own).
    const char* setUpFailedMessage = nullptr;
    // After a failed set-up: release EGL, the window and the platform before exiting with
    // status 1, or exit with status 1 at once.
    bool cleanShutdownAfterFailedSetUp = false;
};

// The program's main: window, EGL, set-up, loop, tear-down. Returns the exit status:
// 0 after a normal run, 1 when set-up or a FormatCarousel frame failed after a clean
// shut-down. The other failures end the process with status 1 inside the framework.
int runSample(const SampleProgram& program);

} // namespace KorvoSDK

#endif
