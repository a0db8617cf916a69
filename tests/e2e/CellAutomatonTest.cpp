// CellAutomaton started in its build folder on a private X server, as a user would start it.
// The fault shim's trace tells when frames are presented and new input is uploaded.

#include "Rule30Reference.h"
#include "ShimmedRun.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <sstream>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace CellAutomaton;

namespace {

const std::string program = buildPath(programs::cellAutomaton);
constexpr int windowWidth = 800;
constexpr int windowHeight = 600;

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

void sleepSeconds(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

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

// User and system CPU time the process has used, all its threads together (proc(5)).
double cpuSeconds(pid_t pid)
{
    std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
    const std::string stat((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    // The command name in parentheses may hold spaces: fields are counted after its ')'.
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string field;
    for (int number = 3; number < 14; ++number)
        fields >> field;
    long long userTicks = 0, systemTicks = 0;
    fields >> userTicks >> systemTicks;
    return static_cast<double>(userTicks + systemTicks) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

struct Picture {
    std::vector<std::uint8_t> rgba;
    std::vector<CellRow> cells;
    int otherPixels = -1;
};

// The stretches between a tick's draw and the next tick, found from the process's CPU time
// sampled every 50 ms: a tick is CPU use after at least a quiet second; its draw has ended
// after 0.3 s without any; the stretch ends 4.8 s after the tick, before the next one.
class IdleStretches {
public:
    explicit IdleStretches(pid_t pid) : pid(pid), lastCpu(cpuSeconds(pid)), quietSince(Clock::now()) { }

    double idleSeconds() const { return idle; }
    double cpuSecondsUsed() const { return used; }

    // Samples until `total` seconds of stretches are measured or the time is up.
    void measure(double total, double timeoutSeconds)
    {
        const Clock::time_point start = Clock::now();
        while (idle < total && secondsSince(start) < timeoutSeconds) {
            sleepSeconds(0.05);
            sample();
        }
    }

private:
    enum class State { WaitingForTick, Drawing, Idle };

    void sample()
    {
        const Clock::time_point now = Clock::now();
        const double cpu = cpuSeconds(pid);
        if (cpu > lastCpu) {
            if (state == State::WaitingForTick && now - quietSince >= std::chrono::seconds(1)) {
                state = State::Drawing;
                tickAt = now - std::chrono::milliseconds(50);
            }
            quietSince = now;
        }
        lastCpu = cpu;
        if (state == State::Drawing && now - quietSince >= std::chrono::milliseconds(300)) {
            state = State::Idle;
            stretchStart = now;
            stretchStartCpu = cpu;
        }
        if (state != State::WaitingForTick && now - tickAt >= std::chrono::milliseconds(4800)) {
            if (state == State::Idle) {
                used += cpu - stretchStartCpu;
                idle += std::chrono::duration<double>(now - stretchStart).count();
            }
            state = State::WaitingForTick;
        }
    }

    pid_t pid;
    double lastCpu;
    Clock::time_point quietSince;
    State state = State::WaitingForTick;
    Clock::time_point tickAt;
    Clock::time_point stretchStart;
    double stretchStartCpu = 0.0;
    double used = 0.0;
    double idle = 0.0;
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
        while ((picture.otherPixels != 0 || describeDifference(expected, picture.cells) != "") &&
               secondsSince(start) < 10) {
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

TEST_F(CellAutomatonProgram, IdlesBetweenItsPicturesUnderFivePercentOfACore)
{
    const Window window = run.client().waitForWindow("main");
    ASSERT_NE(window, 0u) << run.process().standardError();
    ASSERT_TRUE(run.waitForSwaps(1)) << run.process().standardError();

    // Drawing (up to seconds on softpipe under load) is not idling: only the stretches count.
    IdleStretches stretches(run.process().pid());
    stretches.measure(10.0, 60.0);
    ASSERT_TRUE(run.process().running()) << run.process().standardError();
    ASSERT_GE(stretches.idleSeconds(), 10.0) << "in 60 s the program was never quiet for a second before a tick";
    EXPECT_LT(stretches.cpuSecondsUsed() / stretches.idleSeconds(), 0.05)
        << stretches.cpuSecondsUsed() << " s of CPU time in " << stretches.idleSeconds() << " idle seconds";

    run.client().requestClose(window);
    EXPECT_EQ(run.process().waitForExit(20), 0);
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
