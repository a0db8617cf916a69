// How the shell's loop takes window events, driven through the probe program: one queued event
// per loop turn, and only a close request or the first mouse button ends the loop.

#include "ProgramPaths.h"
#include "TestProcess.h"
#include "TextCount.h"
#include "X11Client.h"
#include "XvfbServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <memory>
#include <thread>

namespace {

const std::string probe = buildPath(programs::shellProbe);

class ShellEvents : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.ok()) << "Xvfb did not start";
        ASSERT_TRUE(client.ok());
        process = std::make_unique<TestProcess>(
            TestProcess::Options{probe, {"standard"}, "", {{"DISPLAY", server.displayName()}}, {}});
        window = client.waitForWindow("main");
        ASSERT_NE(window, 0u) << process->standardError();
        ASSERT_TRUE(waitForFrames(1));
        // With no window manager the keyboard follows the pointer.
        client.movePointer(window, 10, 10);
    }

    int frames() { return countOf(process->standardError(), "frame "); }

    // Waits until the probe has drawn `count` frames in all; false if it ended or the time ran out.
    bool waitForFrames(int count)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (frames() < count && process->running() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return frames() >= count;
    }

    XvfbServer server;
    X11Client client{server.displayName()};
    std::unique_ptr<TestProcess> process;
    Window window = 0;
};

} // namespace

TEST_F(ShellEvents, EachLoopTurnTakesOneQueuedEvent)
{
    // The probe is stopped while ten key events and a close request queue up behind each other;
    // taken one per turn, they last eleven turns, and the turn of the close request draws too.
    ASSERT_EQ(kill(process->pid(), SIGSTOP), 0);
    for (const char* key : {"a", "b", "c", "d", "e"})
        client.pressKey(key);
    client.requestClose(window);
    const int framesBefore = frames();
    ASSERT_EQ(kill(process->pid(), SIGCONT), 0);
    ASSERT_EQ(process->waitForExit(30), 0);
    EXPECT_GE(frames() - framesBefore, 11) << process->standardError();
}

TEST_F(ShellEvents, OtherMouseButtonsNeitherEndTheLoopNorMoveTheClick)
{
    for (unsigned button : {2u, 3u, 4u, 5u})
        client.click(window, 30, 40, button);
    // Eight button events, one per turn: after that many more frames all were taken.
    ASSERT_TRUE(waitForFrames(frames() + 9)) << process->standardError();
    EXPECT_TRUE(process->running()) << "another button ended the loop";
    client.requestClose(window);
    EXPECT_EQ(process->waitForExit(30), 0);
    const std::string output = process->standardError();
    EXPECT_EQ(countOf(output, "click -1 -1"), countOf(output, "frame ")) << output;
}
