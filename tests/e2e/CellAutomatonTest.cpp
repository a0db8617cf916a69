// CellAutomaton started in its build folder on a private X server, as a user would start it.

#include "Rule30Reference.h"
#include "TestProcess.h"
#include "X11Client.h"
#include "XvfbServer.h"

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

const std::string programFolder = buildPath("samples/OpenGL-ES-3.0/linux/CellAutomaton");
const std::string program = programFolder + "/CellAutomaton";
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

void sleepUntil(Clock::time_point start, double seconds)
{
    std::this_thread::sleep_until(start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds)));
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

// Long enough for softpipe's 600 passes on a loaded two-core machine; a picture that is
// right comes much sooner, a wrong one never.
constexpr double firstPictureTimeout = 30.0;

struct Picture {
    Clock::time_point takenAt; // when the capture began: reading a whole window takes a while under load
    std::vector<std::uint8_t> rgba;
    std::vector<CellRow> cells;
    int otherPixels = -1;
};

// The stretches between a tick's draw and the next tick, found from the process's CPU time
// sampled every 50 ms: a tick is CPU use after at least a quiet second; its draw has ended
// after 0.3 s without any; the stretch ends 4.8 s after the tick, before the next one.
class IdleStretches {
public:
    explicit IdleStretches(pid_t pid) : pid(pid), lastCpu(cpuSeconds(pid)), quietSince(Clock::now()) {}

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

class CellAutomatonProgram : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.ok()) << "Xvfb did not start";
        ASSERT_TRUE(client.ok());
        ASSERT_TRUE(std::filesystem::exists(program)) << program << " is not built";
    }

    std::unique_ptr<TestProcess> start()
    {
        return std::make_unique<TestProcess>(
            TestProcess::Options{program, {}, programFolder, {{"DISPLAY", server.displayName()}}, {}});
    }

    Picture capture(Window window)
    {
        Picture picture;
        picture.takenAt = Clock::now();
        int width = 0, height = 0;
        picture.rgba = client.readPixels(window, width, height);
        EXPECT_EQ(width, windowWidth);
        EXPECT_EQ(height, windowHeight);
        if (width == windowWidth && height == windowHeight)
            picture.cells = cellsInPicture(picture.rgba, width, height, &picture.otherPixels);
        return picture;
    }

    // Polls the window until `ready` holds for what it shows, or the time is up.
    Picture waitForPicture(Window window, double timeoutSeconds, const std::function<bool(const Picture&)>& ready)
    {
        const Clock::time_point start = Clock::now();
        Picture picture = capture(window);
        while (!ready(picture) && secondsSince(start) < timeoutSeconds) {
            sleepSeconds(0.05);
            picture = capture(window);
        }
        return picture;
    }

    // The first picture: every pixel in one of the two cell colours.
    Picture waitForFirstPicture(Window window, double timeoutSeconds)
    {
        return waitForPicture(window, timeoutSeconds, [](const Picture& picture) { return picture.otherPixels == 0; });
    }

    XvfbServer server;
    X11Client client{server.displayName()};
};

} // namespace

TEST_F(CellAutomatonProgram, ShowsRule30FromTheCentreCellAtOnceThenTheFirstRandomRowAfterFiveSeconds)
{
    auto process = start();
    const Window window = client.waitForWindow("main");
    ASSERT_NE(window, 0u) << process->standardError();

    // How soon the first picture comes depends on the driver and the machine's load; that it
    // came at once, not at the first tick, shows in what it is: the tick would have drawn the
    // first random row instead of the centre cell's history.
    const Picture first = waitForFirstPicture(window, firstPictureTimeout);
    const Clock::time_point firstSeen = first.takenAt;
    ASSERT_EQ(first.otherPixels, 0) << "no complete picture";
    EXPECT_EQ(describeDifference(growHistory(singleCellSeed(), windowHeight), first.cells), "");
    const std::string artifacts = buildPath("test-artifacts");
    std::filesystem::create_directories(artifacts);
    savePng(artifacts + "/CellAutomaton-window.png", first.rgba, windowWidth, windowHeight);

    for (double at : {1.0, 2.5, 4.0}) {
        sleepUntil(firstSeen, at);
        EXPECT_TRUE(capture(window).rgba == first.rgba) << "the picture changed " << at << " s after it appeared";
    }

    // The next picture is drawn at the tick, and arrives on screen as late as the load lets it.
    const Picture changed = waitForPicture(window, 5.0 + firstPictureTimeout,
                                           [&](const Picture& picture) { return picture.rgba != first.rgba; });
    const double changedAfter = std::chrono::duration<double>(changed.takenAt - firstSeen).count();
    ASSERT_TRUE(changed.rgba != first.rgba) << "no new picture";
    EXPECT_GT(changedAfter, 4.5);
    // A picture may reach the window in parts: wait for the whole one (a wrong one never is).
    const std::vector<CellRow> expected = growHistory(firstReseedRow(), windowHeight);
    const Picture reseeded = waitForPicture(window, firstPictureTimeout, [&](const Picture& picture) {
        return picture.otherPixels == 0 && describeDifference(expected, picture.cells).empty();
    });
    EXPECT_EQ(reseeded.otherPixels, 0);
    EXPECT_EQ(describeDifference(expected, reseeded.cells), "");

    // Well inside the next interval, in which nothing is drawn: the sleeping program wakes
    // for the click, long before its next tick.
    client.click(window, 400, 300);
    EXPECT_EQ(process->waitForExit(20), 0);
    EXPECT_EQ(process->standardError(), "");
}

TEST_F(CellAutomatonProgram, IdlesBetweenItsPicturesUnderFivePercentOfACore)
{
    auto process = start();
    const Window window = client.waitForWindow("main");
    ASSERT_NE(window, 0u) << process->standardError();
    ASSERT_EQ(waitForFirstPicture(window, firstPictureTimeout).otherPixels, 0);

    // Drawing (up to seconds on softpipe under load) is not idling: only the stretches count.
    IdleStretches stretches(process->pid());
    stretches.measure(10.0, 60.0);
    ASSERT_TRUE(process->running()) << process->standardError();
    ASSERT_GE(stretches.idleSeconds(), 10.0) << "in 60 s the program was never quiet for a second before a tick";
    EXPECT_LT(stretches.cpuSecondsUsed() / stretches.idleSeconds(), 0.05)
        << stretches.cpuSecondsUsed() << " s of CPU time in " << stretches.idleSeconds() << " idle seconds";

    client.requestClose(window);
    EXPECT_EQ(process->waitForExit(20), 0);
}

TEST_F(CellAutomatonProgram, CloseRequestBetweenTicksEndsTheProgramWithStatusZero)
{
    auto process = start();
    const Window window = client.waitForWindow("main");
    ASSERT_NE(window, 0u) << process->standardError();
    ASSERT_EQ(waitForFirstPicture(window, firstPictureTimeout).otherPixels, 0);
    const Clock::time_point firstSeen = Clock::now();

    sleepSeconds(0.5);
    client.requestClose(window);
    EXPECT_EQ(process->waitForExit(20), 0);
    EXPECT_LT(secondsSince(firstSeen), 4.5) << "the program ended only at the next tick";
    EXPECT_EQ(process->standardError(), "");
}
