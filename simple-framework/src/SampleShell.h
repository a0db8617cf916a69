#ifndef KORVO_SAMPLE_SHELL_H
#define KORVO_SAMPLE_SHELL_H

#include "EGLRuntime.h"

#include <functional>

namespace KorvoSDK {

class Timer;

// What the loop between set-up and tear-down does. Every kind ends after the turn in which
// the window reports an event (a close request or a click).
enum class SampleLoop {
    // Poll, draw, swap, every turn; the turn that sees the event still draws and swaps.
    // PatchTorus, RawAlphaPlane, PackedAlphaPlane, StackedAlpha.
    EveryFrame,
    // As EveryFrame, and a frame that fails (drawCheckedFrame returns false) ends the loop
    // after its swap, the program then ending with status 1. The program's frame timer is
    // reset right before the first frame. FormatCarousel.
    StopOnFailedFrame,
    // One frame right after set-up, then new input, a frame and a swap only when more than
    // five seconds have passed since the last time. In between nothing is drawn and the
    // program sleeps until a window event arrives or the tick is due. CellAutomaton.
    RedrawOnTimedTick,
};

// What a failed set-up does after its message.
enum class AfterFailedSetUp {
    ExitAtOnce, // exit with status 1, nothing released
    ShutDown,   // release EGL, the window and the platform, then end with status 1
};

// How a program fails to start: the two failures before its loop.
struct StartFailures {
    // logError text when Platform::instance() yields nothing; the program ends with status 1.
    const char* platformMissing = "Could not create platform";
    // logError text when set-up fails; null prints nothing more (set-up printed its own).
    const char* setUpFailed = nullptr;
    AfterFailedSetUp afterFailedSetUp = AfterFailedSetUp::ExitAtOnce;
};

// One windowed program as the shell runs it: its window, OpenGL ES version, hooks, loop and
// how it fails to start.
struct SampleProgram {
    std::int32_t windowWidth = 0;
    std::int32_t windowHeight = 0;
    ClientApiVersion apiVersion = Es2;

    std::function<bool()> setUpSample; // false: set-up failed
    SampleLoop loop = SampleLoop::EveryFrame;
    std::function<void()> drawFrame;        // EveryFrame, RedrawOnTimedTick
    std::function<bool()> drawCheckedFrame; // StopOnFailedFrame: false when the frame failed
    std::function<void()> newInput;         // RedrawOnTimedTick: before each timed frame
    Timer* frameTimer = nullptr;            // StopOnFailedFrame: reset before the first frame
    std::function<void()> tearDownSample;

    StartFailures startFailures;
};

// The program's main: window, EGL, set-up, loop, tear-down. Returns the exit status:
// 0 after a normal run, 1 when the platform is missing, or set-up or a checked frame failed
// and the program shut down cleanly. The other failures end the process with status 1 inside
// the framework.
int runSample(const SampleProgram& program);

} // namespace KorvoSDK

#endif
