// CellAutomaton started in its build folder on a private X server, as a user would start it.
// Its loop spins between the five-second ticks, so the cases here are few and short.
// The fault shim's trace tells when frames are presented and new input is uploaded.

#include "Rule30Reference.h"
#include "ShimmedRun.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

using namespace CellAutomaton;

namespace {

const std::string program = buildPath(programs::cellAutomaton);
constexpr int windowWidth = 800;
constexpr int windowHeight = 600;

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void sleepSeconds(double seconds)
{
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

CellRow singleCellSeed()
{
    CellRow seed(windowWidth, 0);
    seed[400] = 255;
    return seed;
}

// The top row of the first reseed. The program never seeds rand(), so it draws from glibc's
// sequence for seed 1, one value per column.
CellRow firstReseedRow()
{
    srand(1);
    CellRow row(windowWidth);
    for (std::uint8_t& cell : row)
        cell = rand() % 2 == 0 ? 255 : 0;
    return row;
}

struct Picture {
    std::vector<std::uint8_t> rgba;
    std::vector<CellRow> cells;
    int otherPixels = -1;
};

// Seconds on the program's own clock at which the trace's lines of this kind were written.
std::vector<double> timesOf(const std::vector<std::string>& trace, const std::string& prefix)
{
    std::vector<double> times;
    for (const std::string& line : linesStartingWith(trace, prefix)) {
        const size_t at = line.rfind(" at ");
        if (at != std::string::npos)
            times.push_back(std::stod(line.substr(at + 4)));
    }
    return times;
}

// The program under the tracing shim: every frame it presents and every new input it uploads
// is an event in the trace, so the cases wait for those events rather than for wall time.
class CellAutomatonProgram : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(run.serverStarted()) << "Xvfb did not start";
        ASSERT_TRUE(std::filesystem::exists(program)) << program << " is not built";
    }

    Picture capture(Window window)
    {
        Picture picture;
        int width = 0, height = 0;
        picture.rgba = run.client().readPixels(window, width, height);
        EXPECT_EQ(width, windowWidth);
        EXPECT_EQ(height, windowHeight);
        if (width == windowWidth && height == windowHeight)
            picture.cells = cellsInPicture(picture.rgba, width, height, &picture.otherPixels);
        return picture;
    }

    // The window's picture once it shows the automaton grown from `seed` (X may still be
    // receiving a presented frame when it is first read).
    Picture waitForHistoryOf(Window window, const CellRow& seed)
    {
        const std::vector<CellRow> expected = growHistory(seed, windowHeight);
        const Clock::time_point start = Clock::now();
        Picture picture = capture(window);
        while ((picture.otherPixels != 0 || describeDifference(expected, picture.cells) != "") && secondsSince(start) < 10) {
            sleepSeconds(0.05);
            picture = capture(window);
        }
        return picture;
    }

    size_t presentedFrames() const { return linesStartingWith(run.trace(), "eglSwapBuffers").size(); }

    ShimmedRun run{programs::cellAutomaton};
};

} // namespace

TEST_F(CellAutomatonProgram, ShowsRule30FromTheCentreCellAtOnceThenTheFirstRandomRowAfterFiveSeconds)
{
    const Window window = run.client().waitForWindow("main");
    ASSERT_NE(window, 0u) << run.process().standardError();
    ASSERT_TRUE(run.waitForSwaps(1)) << run.process().standardError();

    const Picture first = waitForHistoryOf(window, singleCellSeed());
    EXPECT_EQ(first.otherPixels, 0);
    EXPECT_EQ(describeDifference(growHistory(singleCellSeed(), windowHeight), first.cells), "");
    const std::string artifacts = buildPath("test-artifacts");
    std::filesystem::create_directories(artifacts);
    savePng(artifacts + "/CellAutomaton-window.png", first.rgba, windowWidth, windowHeight);

    ASSERT_TRUE(run.waitForSwaps(2, 30)) << run.process().standardError();
    const Picture reseeded = waitForHistoryOf(window, firstReseedRow());
    EXPECT_EQ(reseeded.otherPixels, 0);
    EXPECT_EQ(describeDifference(growHistory(firstReseedRow(), windowHeight), reseeded.cells), "");

    // Inside the next interval, in which nothing is drawn: the click ends the program without a frame.
    const size_t framesBeforeClick = presentedFrames();
    run.client().click(window, 400, 300);
    EXPECT_EQ(run.process().waitForExit(30), 0);
    EXPECT_EQ(run.process().standardError(), "");

    const std::vector<std::string> trace = run.trace();
    const std::vector<double> swaps = timesOf(trace, "eglSwapBuffers");
    const std::vector<double> uploads = timesOf(trace, "glTexSubImage2D");
    EXPECT_EQ(swaps.size(), framesBeforeClick) << "a frame after the click";
    ASSERT_GE(swaps.size(), 2u);
    ASSERT_GE(uploads.size(), 1u);
    // The first picture did not wait for the timer: it came before the first new input.
    EXPECT_LT(swaps[0], uploads[0]);
    // The new input came once more than five seconds had passed since the first picture, and
    // nothing was presented in between. Its lateness is one loop turn, far below a second.
    EXPECT_GT(uploads[0] - swaps[0], 5.0);
    EXPECT_LT(uploads[0] - swaps[0], 6.0);
    EXPECT_LT(uploads[0], swaps[1]);
}

TEST_F(CellAutomatonProgram, CloseRequestBetweenTicksEndsTheProgramWithStatusZeroWithoutAFrame)
{
    const Window window = run.client().waitForWindow("main");
    ASSERT_NE(window, 0u) << run.process().standardError();
    ASSERT_TRUE(run.waitForSwaps(1)) << run.process().standardError();
    const size_t framesBeforeClose = presentedFrames();
    run.client().requestClose(window);
    EXPECT_EQ(run.process().waitForExit(30), 0);
    EXPECT_EQ(run.process().standardError(), "");
    EXPECT_EQ(presentedFrames(), framesBeforeClose);
    EXPECT_EQ(linesAfterLast(run.trace(), "eglSwapBuffers").front(), "eglBindAPI(0x30a0)");
}
