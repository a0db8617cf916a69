// Every windowed program with its X server killed under it, at moments from right after its
// window appears (set-up) to well into its drawing: it must say so and end, never hang.

#include "ShimmedRun.h"
#include "TestProcess.h"
#include "TextCount.h"
#include "X11Client.h"
#include "XvfbServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <ostream>
#include <thread>

namespace {

struct WindowedProgram {
    const char* name;
    const char* folder;
};

void PrintTo(const WindowedProgram& program, std::ostream* out) { *out << program.name; }

const WindowedProgram windowedPrograms[] = {
    {"FormatCarousel", "samples/OpenGL-ES-3.0/linux/FormatCarousel"},
    {"PatchTorus", "samples/OpenGL-ES-3.0/linux/PatchTorus"},
    {"CellAutomaton", "samples/OpenGL-ES-3.0/linux/CellAutomaton"},
    {"RawAlphaPlane", "samples/OpenGL-ES-2.0/linux/RawAlphaPlane"},
    {"PackedAlphaPlane", "samples/OpenGL-ES-2.0/linux/PackedAlphaPlane"},
    {"StackedAlpha", "samples/OpenGL-ES-2.0/linux/StackedAlpha"},
};

// Seconds after the window appears. Several runs, since the moment decides which call
// meets the dead connection first: Xlib's event poll, or the driver's swap.
const double killDelays[] = {0.0, 0.2, 0.45, 0.8, 1.2, 1.7};

constexpr double exitTimeoutSeconds = 5.0;

bool endsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

class LostDisplay : public testing::TestWithParam<WindowedProgram> { };

} // namespace

TEST_P(LostDisplay, EndsWithOneErrorLineAndStatusOne)
{
    const std::string folder = buildPath(GetParam().folder);
    for (double delay : killDelays) {
        SCOPED_TRACE("server killed " + std::to_string(delay) + " s after the window appeared");
        XvfbServer server;
        ASSERT_TRUE(server.ok()) << "Xvfb did not start";
        TestProcess process({folder + "/" + GetParam().name, {}, folder, {{"DISPLAY", server.displayName()}}, {}});
        {
            // Closed before the server goes, so that only the program loses its connection.
            X11Client client(server.displayName());
            ASSERT_TRUE(client.ok());
            ASSERT_NE(client.waitForWindow("main"), 0u) << process.standardError();
        }
        std::this_thread::sleep_for(std::chrono::duration<double>(delay));
        server.stop();

        const int status = process.waitForExit(exitTimeoutSeconds);
        const std::string output = process.standardError();
        ASSERT_NE(status, -1) << "still running " << exitTimeoutSeconds << " s after its X server died\n" << output;
        EXPECT_EQ(status, 1) << output;
        EXPECT_TRUE(endsWith(output, "Error: Lost the connection to X display \"" + server.displayName() + "\"\n"))
            << output;
        EXPECT_EQ(countOf(output, "Error: "), 1) << output;
    }
}

// A driver that faults on the dead connection (Mesa's softpipe has been seen to divide by zero
// there) is reported as the loss, whichever fault it is.
TEST(LostDisplayFault, ACrashOnTheDeadConnectionIsReportedAsTheLoss)
{
    for (const int signal : {SIGSEGV, SIGBUS, SIGFPE}) {
        SCOPED_TRACE(strsignal(signal));
        ShimmedRun run(programs::patchTorus, {}, "", {{"KORVO_SHIM_CRASH_ON_LOSS", std::to_string(signal)}});
        ASSERT_TRUE(run.serverStarted());
        const int status = run.process().waitForExit(30);
        const std::string output = run.process().standardError();
        EXPECT_EQ(status, 1) << output;
        EXPECT_TRUE(endsWith(output, "Error: Lost the connection to X display \"" + run.displayName() + "\"\n"))
            << output;
        EXPECT_EQ(countOf(output, "Error: "), 1) << output;
    }
}

INSTANTIATE_TEST_SUITE_P(WindowedPrograms, LostDisplay, testing::ValuesIn(windowedPrograms),
                         [](const testing::TestParamInfo<WindowedProgram>& info) { return info.param.name; });
