// EGL set-up and shut-down of the real programs, with the calls made to fail or the
// configurations rewritten by the fault shim, and what the programs ask of EGL read from its trace.

#include "ShimmedRun.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

struct EglFailure {
    const char* name;
    ShimSettings settings;
    std::string report; // the whole standard error, as a regular expression
};

// The attribute reads of the configuration walk, as "#index 0xattribute".
std::vector<std::string> attributeReads(const std::vector<std::string>& trace)
{
    std::vector<std::string> reads;
    static const std::regex read("eglGetConfigAttrib\\((#-?[0-9]+), (0x[0-9a-f]+)\\).*");
    for (const std::string& line : trace) {
        std::smatch m;
        if (std::regex_match(line, m, read))
            reads.push_back(m[1].str() + " " + m[2].str());
    }
    return reads;
}

class EglFailureTest : public testing::TestWithParam<EglFailure> { };

// The configuration request of every windowed program: the attributes in their order, with
// samples left to EGL (the platform exists) and the ES 2 renderable bit.
const std::string configRequest = "0x3031=-1 0x3024=8 0x3023=8 0x3022=8 0x3021=0 0x3020=32 0x3026=0 0x3040=4 "
                                  "0x3033=6 0x3025=16";

} // namespace

TEST_P(EglFailureTest, ReportsItAndExitsWithOneBeforeAnyFrameReleasingNothing)
{
    ShimmedRun run(programs::packedAlphaPlane, GetParam().settings);
    ASSERT_TRUE(run.serverStarted());
    EXPECT_EQ(run.process().waitForExit(30), 1);
    const std::string output = run.process().standardError();
    EXPECT_TRUE(std::regex_match(output, std::regex(GetParam().report))) << output;
    const std::vector<std::string> trace = run.trace();
    EXPECT_TRUE(linesStartingWith(trace, "eglSwapBuffers").empty()) << traceText(trace);
    EXPECT_TRUE(linesStartingWith(trace, "eglTerminate").empty()) << traceText(trace);
    EXPECT_TRUE(linesStartingWith(trace, "eglDestroy").empty()) << traceText(trace);
    EXPECT_TRUE(linesStartingWith(trace, "XDestroyWindow").empty()) << traceText(trace);
}

INSTANTIATE_TEST_SUITE_P(
    Programs, EglFailureTest,
    testing::Values(
        EglFailure{"NoDisplay", {"eglGetDisplay"}, eglFailureReport(0x3008, "No EGL Display available")},
        EglFailure{"Initialize", {"eglInitialize"}, eglFailureReport(0x3001, "Failed to initialize EGL")},
        EglFailure{
            "CountingConfigs", {"eglChooseConfig:1"}, eglFailureReport(0x3004, "Failed to enumerate EGL configs")},
        EglFailure{
            "FillingConfigs", {"eglChooseConfig:2"}, eglFailureReport(0x3004, "Failed to enumerate EGL configs")},
        EglFailure{"ConfigArrayAllocation", {"calloc@eglChooseConfig"}, plainFailureReport("Out of memory")},
        EglFailure{"NoConfigs", {"", "count=0"}, plainFailureReport("Failed to find matching EGL config")},
        EglFailure{"AttributeRead", {"eglGetConfigAttrib"}, eglFailureReport(0x3004, "Failed to get EGL attribute")},
        // The read of the second configuration fails: the process ends though a third would match.
        EglFailure{"LaterAttributeRead",
                   {"eglGetConfigAttrib:2", "0:3024=5"},
                   eglFailureReport(0x3004, "Failed to get EGL attribute")},
        EglFailure{"WalkWithoutChoice",
                   {"", "count=3,0:3024=5,1:3023=6,2:3022=10"},
                   plainFailureReport("Failed to find matching EGL config")},
        EglFailure{"Surface", {"eglCreateWindowSurface"}, eglFailureReport(0x300b, "Failed to create EGL surface")},
        EglFailure{"Context", {"eglCreateContext"}, eglFailureReport(0x3009, "Failed to create EGL context")},
        EglFailure{"MakeCurrent",
                   {"eglMakeCurrent"},
                   "Error: eglGetError\\(\\) = 12294 \\(0x00003006\\) at [^\n]*\\.cpp:[0-9]+\n\n"}),
    [](const testing::TestParamInfo<EglFailure>& info) { return std::string(info.param.name); });

TEST(EglConfigWalk, AsksForTheProgramsVersionWithSamplesLeftToEgl)
{
    const std::pair<std::string, std::string> cases[] = {{programs::packedAlphaPlane, "0x3098=2"},
                                                         {programs::patchTorus, "0x3098=3"}};
    for (const auto& [program, contextRequest] : cases) {
        SCOPED_TRACE(program);
        ShimmedRun run(program);
        ASSERT_TRUE(run.serverStarted());
        ASSERT_TRUE(run.waitForSwaps(1)) << run.process().standardError();
        EXPECT_EQ(run.closeAndWait(), 0);
        const std::vector<std::string> trace = run.trace();
        EXPECT_EQ(linesStartingWith(trace, "eglChooseConfig(" + configRequest + ", NULL, 0)").size(), 1u)
            << traceText(trace);
        EXPECT_EQ(linesStartingWith(trace, "eglChooseConfig(" + configRequest + ", list, ").size(), 1u)
            << traceText(trace);
        EXPECT_EQ(linesStartingWith(trace, "eglCreateContext(#0, " + contextRequest + ")").size(), 1u)
            << traceText(trace);
    }
}

TEST(EglConfigWalk, TakesTheFirstEightEightEightReadingGreenOnlyAfterRedAndBlueOnlyAfterGreen)
{
    // #0 has 5 bits of red, #1 6 bits of green, #2 and #3 exactly 8-8-8.
    ShimmedRun run(programs::packedAlphaPlane,
                   {"", "0:3024=5,1:3023=6,2:3024=8,2:3023=8,2:3022=8,3:3024=8,3:3023=8,3:3022=8"});
    ASSERT_TRUE(run.serverStarted());
    ASSERT_TRUE(run.waitForSwaps(1)) << run.process().standardError();
    EXPECT_EQ(run.closeAndWait(), 0);
    const std::vector<std::string> trace = run.trace();
    const std::vector<std::string> expected = {"#0 0x3024", "#1 0x3024", "#1 0x3023",
                                               "#2 0x3024", "#2 0x3023", "#2 0x3022"};
    EXPECT_EQ(attributeReads(trace), expected) << traceText(trace);
    EXPECT_EQ(linesStartingWith(trace, "eglCreateWindowSurface(#2)").size(), 1u) << traceText(trace);
    EXPECT_EQ(linesStartingWith(trace, "eglCreateContext(#2, ").size(), 1u) << traceText(trace);
}

TEST(EglConfigWalk, FollowsTheReturnedOrderNotTheConfigurationsOwnOrder)
{
    // The list reversed: its last configuration first. Both ends are 8-8-8; the first returned wins.
    ShimmedRun run(programs::packedAlphaPlane, {"", "reverse"});
    ASSERT_TRUE(run.serverStarted());
    ASSERT_TRUE(run.waitForSwaps(1)) << run.process().standardError();
    EXPECT_EQ(run.closeAndWait(), 0);
    const std::vector<std::string> trace = run.trace();
    const std::vector<std::string> expected = {"#0 0x3024", "#0 0x3023", "#0 0x3022"};
    EXPECT_EQ(attributeReads(trace), expected) << traceText(trace);
    EXPECT_EQ(linesStartingWith(trace, "eglCreateWindowSurface(#0)").size(), 1u) << traceText(trace);
}

TEST(EglShutDown, TerminatesInOrderAndClosesTheWindowAfterwards)
{
    ShimmedRun run(programs::patchTorus);
    ASSERT_TRUE(run.serverStarted());
    ASSERT_TRUE(run.waitForSwaps(2)) << run.process().standardError();
    EXPECT_EQ(run.closeAndWait(), 0);
    const std::vector<std::string> trace = run.trace();
    const std::vector<std::string> shutDown = linesAfterLast(trace, "eglBindAPI(0x30a0)");
    const std::vector<std::string> expected(shellShutDown.begin() + 1, shellShutDown.end());
    EXPECT_EQ(shutDown, expected) << traceText(trace);
    // The API is bound twice: once on the way up, once as the first step of the way down.
    EXPECT_EQ(linesStartingWith(trace, "eglBindAPI(0x30a0)").size(), 2u) << traceText(trace);
}
