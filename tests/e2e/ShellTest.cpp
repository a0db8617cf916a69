// The application shell, driven through the probe program on a private X server.

#include "ProgramPaths.h"
#include "TestProcess.h"
#include "TextCount.h"
#include "X11Client.h"
#include "XvfbServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <regex>
#include <thread>

namespace {

const std::string probe = buildPath(programs::shellProbe);

void sleepSeconds(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

class ShellTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.ok()) << "Xvfb did not start";
        ASSERT_TRUE(client.ok());
    }

    std::unique_ptr<TestProcess> start(std::vector<std::string> arguments)
    {
        return std::make_unique<TestProcess>(
            TestProcess::Options{probe, std::move(arguments), "", {{"DISPLAY", server.displayName()}}, {}});
    }

    // The probe's window, once the probe has drawn at least one frame into it.
    Window windowOf(TestProcess& process)
    {
        const Window window = client.waitForWindow("main");
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (process.standardError().find("frame 0") == std::string::npos &&
               std::chrono::steady_clock::now() < deadline)
            sleepSeconds(0.01);
        return window;
    }

    XvfbServer server;
    X11Client client{server.displayName()};
};

} // namespace

TEST_F(ShellTest, WindowHasTheAskedClientSizeTitleAndClass)
{
    auto process = start({"every-frame"});
    const Window window = windowOf(*process);
    ASSERT_NE(window, 0u);
    const X11Client::WindowFacts facts = client.facts(window);
    EXPECT_EQ(facts.width, 320);
    EXPECT_EQ(facts.height, 240);
    EXPECT_EQ(facts.title, "main");
    EXPECT_EQ(facts.className, "OGLES");
}

TEST_F(ShellTest, WindowShowsTheClearedColour)
{
    auto process = start({"every-frame"});
    const Window window = windowOf(*process);
    ASSERT_NE(window, 0u);
    sleepSeconds(0.2);
    int width = 0, height = 0;
    const std::vector<std::uint8_t> pixels = client.readPixels(window, width, height);
    ASSERT_EQ(width * height * 4, static_cast<int>(pixels.size()));
    ASSERT_GT(width, 0);
    int wrong = 0;
    for (size_t i = 0; i < pixels.size(); i += 4)
        if (std::abs(pixels[i] - 64) > 1 || std::abs(pixels[i + 1] - 128) > 1 || std::abs(pixels[i + 2] - 191) > 1)
            ++wrong;
    EXPECT_EQ(wrong, 0) << "pixels that are not the clear colour (0.25, 0.5, 0.75)";
}

TEST_F(ShellTest, LeftClickEndsTheLoopAfterOneMoreFrame)
{
    auto process = start({"every-frame"});
    const Window window = windowOf(*process);
    ASSERT_NE(window, 0u);
    client.click(window, 17, 23);
    ASSERT_EQ(process->waitForExit(20), 0) << process->standardError();
    const std::string output = process->standardError();
    // The turn that saw the click draws once more (with the click position known), then the
    // loop ends and the sample is torn down.
    EXPECT_EQ(countOf(output, "click 17 23"), 1) << output;
    EXPECT_TRUE(std::regex_search(output, std::regex("click 17 23\ntear down\n$"))) << output;
}

TEST_F(ShellTest, CloseRequestEndsTheLoopAfterOneMoreFrame)
{
    auto process = start({"every-frame"});
    const Window window = windowOf(*process);
    ASSERT_NE(window, 0u);
    client.requestClose(window);
    ASSERT_EQ(process->waitForExit(20), 0) << process->standardError();
    EXPECT_TRUE(std::regex_search(process->standardError(), std::regex("frame [0-9]+ click -1 -1\ntear down\n$")));
}

TEST_F(ShellTest, KeyPressesChangeNothing)
{
    auto process = start({"every-frame"});
    const Window window = windowOf(*process);
    ASSERT_NE(window, 0u);
    // With no window manager the keyboard follows the pointer.
    client.movePointer(window, 10, 10);
    for (const char* key : {"a", "Escape", "Return", "space", "q"})
        client.pressKey(key);
    sleepSeconds(0.5);
    EXPECT_TRUE(process->running()) << "a key press ended the program";
    client.requestClose(window);
    EXPECT_EQ(process->waitForExit(20), 0);
    EXPECT_EQ(countOf(process->standardError(), "click -1 -1"), countOf(process->standardError(), "frame "));
}

TEST_F(ShellTest, OpenGlEs2ContextRunsTheSameLoop)
{
    auto process = start({"every-frame", "es2"});
    const Window window = windowOf(*process);
    ASSERT_NE(window, 0u);
    client.requestClose(window);
    EXPECT_EQ(process->waitForExit(20), 0) << process->standardError();
}

TEST_F(ShellTest, FailedSetUpShutsDownCleanlyWithStatusOne)
{
    auto process = start({"every-frame", "fail-setup"});
    EXPECT_EQ(process->waitForExit(20), 1);
    // The message, no frame, no tear-down.
    EXPECT_EQ(process->standardError(), "Error: Probe set-up failed\n");
}

TEST_F(ShellTest, FailedSetUpWithoutCleanShutdownExitsAtOnce)
{
    auto process = start({"timed-tick", "fail-setup"});
    EXPECT_EQ(process->waitForExit(20), 1);
    EXPECT_EQ(process->standardError(), "Error: Probe set-up failed\n");
}

TEST_F(ShellTest, StopOnFailedFrameLoopEndsWithStatusOneAfterAFailedFrame)
{
    auto process = start({"stop-on-failed-frame", "fail-frame=3"});
    EXPECT_EQ(process->waitForExit(20), 1);
    const std::string output = process->standardError();
    EXPECT_TRUE(
        std::regex_search(output, std::regex("^frame 0 click -1 -1\nframe 1 .*\nframe 2 .*\nframe 3 .*\ntear down\n$")))
        << output;
}

TEST_F(ShellTest, StopOnFailedFrameLoopEndsWithStatusZeroOnAClick)
{
    auto process = start({"stop-on-failed-frame"});
    const Window window = windowOf(*process);
    ASSERT_NE(window, 0u);
    client.click(window, 1, 2);
    EXPECT_EQ(process->waitForExit(20), 0);
    EXPECT_EQ(countOf(process->standardError(), "click 1 2"), 1);
}

TEST_F(ShellTest, TimedTickLoopDrawsOnlyOnItsFiveSecondTicks)
{
    auto process = start({"timed-tick"});
    const Window window = windowOf(*process);
    ASSERT_NE(window, 0u);
    const auto started = std::chrono::steady_clock::now();
    sleepSeconds(4.0);
    EXPECT_EQ(countOf(process->standardError(), "frame "), 1) << "drew between the ticks";
    EXPECT_EQ(countOf(process->standardError(), "new input"), 0);
    while (process->standardError().find("frame 1") == std::string::npos &&
           std::chrono::steady_clock::now() - started < std::chrono::seconds(15))
        sleepSeconds(0.01);
    const double secondFrameAt = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    EXPECT_GT(secondFrameAt, 4.5);
    EXPECT_LT(secondFrameAt, 7.0);
    EXPECT_TRUE(std::regex_search(process->standardError(), std::regex("frame 0 .*\nnew input\nframe 1 ")));
    client.requestClose(window);
    EXPECT_EQ(process->waitForExit(20), 0);
}

TEST_F(ShellTest, TimedTickLoopEndsWithoutDrawingWhenClosedBetweenTicks)
{
    auto process = start({"timed-tick"});
    const Window window = windowOf(*process);
    ASSERT_NE(window, 0u);
    sleepSeconds(0.5);
    client.requestClose(window);
    ASSERT_EQ(process->waitForExit(20), 0);
    EXPECT_EQ(process->standardError(), "frame 0 click -1 -1\ntear down\n");
}

TEST(ShellWithoutDisplay, NamesTheDisplayItCannotOpenAndExitsWithOne)
{
    std::string output;
    const int status = runToCompletion({probe, {"every-frame"}, "", {{"DISPLAY", ":97531"}}, {}}, output);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(output, "Error: Cannot open X display \":97531\"\n");
}

TEST(ShellWithoutPlatform, ReportsTheMissingPlatformAndExitsWithOne)
{
    XvfbServer server;
    ASSERT_TRUE(server.ok());
    std::string output;
    const int status = runToCompletion(
        {probe, {"every-frame"}, "", {{"DISPLAY", server.displayName()}, {"PROBE_NO_PLATFORM", "1"}}, {}}, output);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(output, "Error: Could not create platform\n");
}

TEST(ShellOnSixteenBitDisplay, FindsNoMatchingConfigurationAndExitsWithOne)
{
    XvfbServer server(16);
    ASSERT_TRUE(server.ok());
    std::string output;
    const int status = runToCompletion({probe, {"every-frame"}, "", {{"DISPLAY", server.displayName()}}, {}}, output);
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(std::regex_match(
        output, std::regex("Error: Failed to find matching EGL config at .*EGLRuntime\\.cpp:[0-9]+\n\n")))
        << output;
}
