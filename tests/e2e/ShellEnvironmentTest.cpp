// The shell and ConfigLister under what a user's environment may hold: no $DISPLAY, an
// $EGL_PLATFORM left by a Wayland desktop, memory short while the program loads.

#include "ProgramPaths.h"
#include "TestProcess.h"
#include "X11Client.h"
#include "XvfbServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

const std::string probe = buildPath(programs::shellProbe);
const std::string lister = buildPath(programs::configLister);

using Environment = std::vector<std::pair<std::string, std::string>>;

// Runs the probe until its first frame is on screen, checks the cleared colour there and
// closes the window: the whole way through window, EGL, set-up, loop and tear-down.
void expectProbeRunsToItsClose(const XvfbServer& server, const Environment& extra)
{
    X11Client client(server.displayName());
    ASSERT_TRUE(client.ok());
    Environment environment = extra;
    environment.emplace_back("DISPLAY", server.displayName());
    TestProcess process({probe, {"standard"}, "", environment, {}});
    const Window window = client.waitForWindow("main");
    ASSERT_NE(window, 0u) << process.standardError();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (process.standardError().find("frame 1 ") == std::string::npos && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));

    int width = 0, height = 0;
    const std::vector<std::uint8_t> pixels = client.readPixels(window, width, height);
    ASSERT_EQ(pixels.size(), static_cast<size_t>(width) * height * 4);
    ASSERT_GT(pixels.size(), 0u);
    EXPECT_NEAR(pixels[0], 64, 1);
    EXPECT_NEAR(pixels[1], 128, 1);
    EXPECT_NEAR(pixels[2], 191, 1);

    client.requestClose(window);
    EXPECT_EQ(process.waitForExit(20), 0) << process.standardError();
    EXPECT_NE(process.standardError().find("tear down\n"), std::string::npos) << process.standardError();
    EXPECT_EQ(process.standardError().find("Error"), std::string::npos) << process.standardError();
}

std::string listingWith(const XvfbServer& server, const Environment& extra)
{
    Environment environment = extra;
    environment.emplace_back("DISPLAY", server.displayName());
    std::string output;
    EXPECT_EQ(runToCompletion({lister, {}, "", environment, {}}, output), 0) << output;
    return output;
}

class EglPlatformVariable : public testing::TestWithParam<const char*> { };

} // namespace

TEST(ShellWithoutDisplayVariable, SaysThatNoDisplayIsSetAndExitsWithOne)
{
    std::string output;
    const int status = runToCompletion({probe, {"standard"}, "", {}, {"DISPLAY"}}, output);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(output, "Error: Cannot open an X display: $DISPLAY is not set\n");
}

// The platform object is made before main; a failed try there is made good in main, and
// EGL must use the object the shell then holds.
TEST(ShellWithPlatformMissingBeforeMain, RunsWithThePlatformMadeInMain)
{
    XvfbServer server;
    ASSERT_TRUE(server.ok());
    expectProbeRunsToItsClose(server, {{"PROBE_NO_PLATFORM_BEFORE_MAIN", "1"}});
}

// A Wayland desktop's $EGL_PLATFORM must not turn the X connection into another
// platform's display.
TEST_P(EglPlatformVariable, ShellStillOpensItsDisplayOnX11)
{
    XvfbServer server;
    ASSERT_TRUE(server.ok());
    expectProbeRunsToItsClose(server, {{"EGL_PLATFORM", GetParam()}});
}

TEST_P(EglPlatformVariable, ConfigListerListsTheXDisplayAsWithoutIt)
{
    XvfbServer server;
    ASSERT_TRUE(server.ok());
    const std::string plain = listingWith(server, {});
    ASSERT_NE(plain.find("Config number 0 in returned configs"), std::string::npos) << plain;
    EXPECT_EQ(listingWith(server, {{"EGL_PLATFORM", GetParam()}}), plain);
}

INSTANTIATE_TEST_SUITE_P(Desktop, EglPlatformVariable, testing::Values("wayland", "gbm"),
                         [](const testing::TestParamInfo<const char*>& info) { return std::string(info.param); });
