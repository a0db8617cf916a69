// The programs' own failure messages, tear-downs and drawing constants, read from what they
// print and from the trace of their GL calls that the fault shim records.

#include "ShimmedRun.h"
#include "TestFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <regex>
#include <set>

namespace {

bool endsWith(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

std::vector<std::string> withShellShutDown(std::vector<std::string> lines)
{
    lines.insert(lines.end(), shellShutDown.begin(), shellShutDown.end());
    return lines;
}

// A float as the trace prints it (shortest text that gives back the same single-precision value).
std::string traced(float value)
{
    char text[32];
    snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
    return text;
}

bool releasedAnything(const std::vector<std::string>& trace)
{
    return !linesStartingWith(trace, "eglTerminate").empty() || !linesStartingWith(trace, "XDestroyWindow").empty();
}

struct MissingPlatform {
    std::string program;
    std::string message;
};

class MissingPlatformTest : public testing::TestWithParam<MissingPlatform> { };

} // namespace

TEST_P(MissingPlatformTest, ReportsItInTheProgramsWordsAndExitsWithOne)
{
    // The platform is allocated with nothrow new, before main and again in main.
    ShimmedRun run(GetParam().program, {"nothrow-new:all"});
    ASSERT_TRUE(run.serverStarted());
    EXPECT_EQ(run.process().waitForExit(30), 1);
    EXPECT_EQ(run.process().standardError(), "Error: " + GetParam().message + "\n");
    EXPECT_TRUE(linesStartingWith(run.trace(), "eglGetDisplay").empty());
}

INSTANTIATE_TEST_SUITE_P(Programs, MissingPlatformTest,
                         testing::Values(MissingPlatform{programs::formatCarousel, "Could not create platform."},
                                         MissingPlatform{programs::patchTorus, "Could not create platform"},
                                         MissingPlatform{programs::cellAutomaton, "Could not create platform"}),
                         [](const testing::TestParamInfo<MissingPlatform>& info) {
                             return std::to_string(info.index);
                         });

TEST(PlatformOnTheSecondTry, TheProgramRunsOnThePlatformThatMainGot)
{
    // The allocation before main fails, main's own try succeeds.
    ShimmedRun run(programs::patchTorus, {"nothrow-new:1"});
    ASSERT_TRUE(run.serverStarted());
    ASSERT_TRUE(run.waitForSwaps(1)) << run.process().standardError();
    EXPECT_EQ(run.closeAndWait(), 0);
    EXPECT_EQ(run.process().standardError(), "");
}

TEST(PatchTorusFailures, EachTorusThatCannotBeMadeIsNamedThenSetUpFailsWithACleanShutDown)
{
    const std::pair<const char*, const char*> cases[] = {
        {"nothrow-new:1@eglMakeCurrent",
         "Error: Could not instantiate WireframeTorus class.\nError: Graphic setup failed\n"},
        {"nothrow-new:2@eglMakeCurrent",
         "Error: Could not instantiate InstancedSolidTorus class.\nError: Graphic setup failed\n"}};
    for (const auto& [fault, messages] : cases) {
        SCOPED_TRACE(fault);
        ShimmedRun run(programs::patchTorus, {fault});
        ASSERT_TRUE(run.serverStarted());
        EXPECT_EQ(run.process().waitForExit(30), 1);
        EXPECT_EQ(run.process().standardError(), messages);
        const std::vector<std::string> trace = run.trace();
        EXPECT_TRUE(linesStartingWith(trace, "eglSwapBuffers").empty()) << traceText(trace);
        // No tear-down of the sample (a wireframe already made stays), then the shell's shut-down.
        EXPECT_TRUE(linesStartingWith(trace, "glDelete").empty()) << traceText(trace);
        EXPECT_EQ(linesAfterLast(trace, "nothrow-new("), shellShutDown) << traceText(trace);
    }
}

TEST(AlphaPlaneFailures, NoProgramObjectIsReportedAndEndsAtOnceWithoutReleasingAnything)
{
    for (const std::string& program : {programs::rawAlphaPlane, programs::packedAlphaPlane, programs::stackedAlpha}) {
        SCOPED_TRACE(program);
        ShimmedRun run(program, {"glCreateProgram"});
        ASSERT_TRUE(run.serverStarted());
        EXPECT_EQ(run.process().waitForExit(30), 1);
        const std::string output = run.process().standardError();
        EXPECT_EQ(output.rfind("Number of texture formats supported: ", 0), 0u) << output;
        EXPECT_TRUE(endsWith(output, "\n\nError: Could not create program.\n")) << output;
        EXPECT_EQ(output.find("Error"), output.rfind("Error")) << output;
        EXPECT_FALSE(releasedAnything(run.trace())) << traceText(run.trace());
        EXPECT_TRUE(linesStartingWith(run.trace(), "eglSwapBuffers").empty());
    }
}

TEST(AlphaPlaneFailures, NoCompressedFormatsAtAllMeansNoEtc1)
{
    ShimmedRun run(programs::packedAlphaPlane, {"", "", true});
    ASSERT_TRUE(run.serverStarted());
    EXPECT_EQ(run.process().waitForExit(30), 1);
    EXPECT_EQ(run.process().standardError(),
              "Number of texture formats supported: 0\nFormats:\n\nError: ETC1 not supported\n");
    EXPECT_FALSE(releasedAnything(run.trace())) << traceText(run.trace());
}

TEST(CheckGl, AGlErrorEndsTheProgramSilentlyWithOneBeforeAnyFrame)
{
    ShimmedRun run(programs::patchTorus, {"glGetError"});
    ASSERT_TRUE(run.serverStarted());
    EXPECT_EQ(run.process().waitForExit(30), 1);
    EXPECT_EQ(run.process().standardError(), "");
    EXPECT_TRUE(linesStartingWith(run.trace(), "eglSwapBuffers").empty());
    EXPECT_FALSE(releasedAnything(run.trace())) << traceText(run.trace());
}

namespace {

struct TearDown {
    std::string program;
    // The deletions between the last frame and the shell's shut-down.
    std::function<std::vector<std::string>(const std::vector<std::string>& trace)> expected;
};

// The texture bound on unit 0 (or on unit 1) when the first frame was presented.
unsigned textureOnUnit(const std::vector<std::string>& trace, unsigned unit)
{
    unsigned active = 0;
    unsigned bound[2] = {0, 0};
    for (const std::string& line : trace) {
        unsigned value = 0;
        unsigned target = 0;
        if (sscanf(line.c_str(), "glActiveTexture(0x%x)", &value) == 1)
            active = value - 0x84c0;
        else if (sscanf(line.c_str(), "glBindTexture(0x%x, %u)", &target, &value) == 2 && active < 2)
            bound[active] = value;
        else if (line.rfind("eglSwapBuffers", 0) == 0)
            break;
    }
    return bound[unit];
}

std::vector<std::string> deletesOfBothUnits(const std::vector<std::string>& trace)
{
    return {"glDeleteTextures(1, " + std::to_string(textureOnUnit(trace, 0)) + ")",
            "glDeleteTextures(1, " + std::to_string(textureOnUnit(trace, 1)) + ")"};
}

class TearDownTest : public testing::TestWithParam<TearDown> { };

} // namespace

TEST_P(TearDownTest, DeletesTheSamplesObjectsInOrderThenShutsDown)
{
    ShimmedRun run(GetParam().program);
    ASSERT_TRUE(run.serverStarted());
    ASSERT_TRUE(run.waitForSwaps(2)) << run.process().standardError();
    EXPECT_EQ(run.closeAndWait(), 0);
    const std::vector<std::string> trace = run.trace();
    EXPECT_EQ(linesAfterLast(trace, "eglSwapBuffers"), withShellShutDown(GetParam().expected(trace)))
        << traceText(trace);
}

TEST_P(TearDownTest, AGlErrorAfterTheFirstDeletionEndsAtOnceWithOne)
{
    ShimmedRun run(GetParam().program, {"glGetError@glDeleteTextures"});
    ASSERT_TRUE(run.serverStarted());
    ASSERT_TRUE(run.waitForSwaps(2)) << run.process().standardError();
    EXPECT_EQ(run.closeAndWait(), 1);
    const std::vector<std::string> trace = run.trace();
    const std::vector<std::string> tail = linesAfterLast(trace, "eglSwapBuffers");
    ASSERT_EQ(tail.size(), 2u) << traceText(trace);
    EXPECT_EQ(tail[0].rfind("glDeleteTextures(1, ", 0), 0u) << traceText(trace);
    EXPECT_EQ(tail[1], "glGetError: failed by the shim");
    EXPECT_EQ(run.process().standardError().find("Error"), std::string::npos) << run.process().standardError();
}

INSTANTIATE_TEST_SUITE_P(Programs, TearDownTest,
                         testing::Values(TearDown{programs::packedAlphaPlane, deletesOfBothUnits},
                                         TearDown{programs::rawAlphaPlane, deletesOfBothUnits},
                                         TearDown{programs::stackedAlpha,
                                                  [](const std::vector<std::string>& trace) {
                                                      return std::vector<std::string>{
                                                          "glDeleteTextures(1, " +
                                                          std::to_string(textureOnUnit(trace, 0)) + ")"};
                                                  }}),
                         [](const testing::TestParamInfo<TearDown>& info) { return std::to_string(info.index); });

namespace {

int countLines(const std::vector<std::string>& trace, const std::string& line)
{
    int count = 0;
    for (const std::string& entry : trace)
        count += entry == line ? 1 : 0;
    return count;
}

} // namespace

TEST(PatchTorusDrawing, SetsDepthColoursAndLightOnceAndOnlyTheRotationPerFrame)
{
    ShimmedRun run(programs::patchTorus);
    ASSERT_TRUE(run.serverStarted());
    ASSERT_TRUE(run.waitForSwaps(3)) << run.process().standardError();
    EXPECT_EQ(run.closeAndWait(), 0);
    const std::vector<std::string> trace = run.trace();

    EXPECT_EQ(countLines(trace, "glEnable(0x0b71)"), 1) << traceText(trace);
    EXPECT_EQ(linesStartingWith(trace, "glDepthFunc("), std::vector<std::string>{"glDepthFunc(0x0203)"});
    const std::string solidColour = "glUniform4fv(color, 1, 0 " + traced(0.7f) + " 0 1)";
    const std::string wireColour = "glUniform4fv(color, 1, 1 " + traced(0.3f) + " 0 1)";
    EXPECT_EQ(linesStartingWith(trace, "glUniform4fv("), (std::vector<std::string>{wireColour, solidColour}))
        << traceText(trace);
    EXPECT_EQ(countLines(trace, "glUniform3fv(light.lightColor, 1, 1 1 1)"), 1) << traceText(trace);
    EXPECT_EQ(countLines(trace, "glUniform3fv(light.lightDirection, 1, " + traced(0.8660254f) + " 0.5 2)"), 1)
        << traceText(trace);
    EXPECT_EQ(countLines(trace, "glUniform1f(light.ambientIntensity, " + traced(0.2f) + ")"), 1) << traceText(trace);
    // Each frame gives each of the two programs its rotation, nothing else.
    const size_t frames = linesStartingWith(trace, "eglSwapBuffers").size();
    EXPECT_EQ(linesStartingWith(trace, "glUniform3fv(rotationVector, ").size(), 2 * frames) << traceText(trace);
    EXPECT_EQ(linesStartingWith(trace, "glUniform").size(),
              2 * frames + 5 + linesStartingWith(trace, "glUniformMatrix4fv").size());
}

TEST(PatchTorusDrawing, TearDownDeletesTheWireframesObjectsThenTheSolidsThenShutsDown)
{
    ShimmedRun run(programs::patchTorus);
    ASSERT_TRUE(run.serverStarted());
    ASSERT_TRUE(run.waitForSwaps(1)) << run.process().standardError();
    EXPECT_EQ(run.closeAndWait(), 0);
    const std::vector<std::string> trace = run.trace();
    const std::vector<std::string> tail = linesAfterLast(trace, "eglSwapBuffers");
    ASSERT_EQ(tail.size(), 6 + shellShutDown.size()) << traceText(trace);
    unsigned wireBuffer, wireProgram, wireArray, solidBuffers[4], solidProgram, solidArray;
    EXPECT_EQ(sscanf(tail[0].c_str(), "glDeleteBuffers(1, %u)", &wireBuffer), 1) << tail[0];
    EXPECT_EQ(sscanf(tail[1].c_str(), "glDeleteProgram(%u)", &wireProgram), 1) << tail[1];
    EXPECT_EQ(sscanf(tail[2].c_str(), "glDeleteVertexArrays(1, %u)", &wireArray), 1) << tail[2];
    EXPECT_EQ(sscanf(tail[3].c_str(), "glDeleteBuffers(4, %u %u %u %u)", &solidBuffers[0], &solidBuffers[1],
                     &solidBuffers[2], &solidBuffers[3]),
              4)
        << tail[3];
    EXPECT_EQ(sscanf(tail[4].c_str(), "glDeleteProgram(%u)", &solidProgram), 1) << tail[4];
    EXPECT_EQ(sscanf(tail[5].c_str(), "glDeleteVertexArrays(1, %u)", &solidArray), 1) << tail[5];
    // The wireframe was made first: its names come before the solid's.
    EXPECT_LT(wireProgram, solidProgram);
    EXPECT_LT(wireArray, solidArray);
    EXPECT_EQ(std::vector<std::string>(tail.begin() + 6, tail.end()), shellShutDown);
}

TEST(CellAutomatonDrawing, SetsTheLineWidthAndTheConstantUniformsOnceOverTwoPictures)
{
    ShimmedRun run(programs::cellAutomaton);
    ASSERT_TRUE(run.serverStarted());
    ASSERT_TRUE(run.waitForSwaps(2, 40)) << run.process().standardError();
    EXPECT_EQ(run.closeAndWait(), 0);
    const std::vector<std::string> trace = run.trace();
    EXPECT_EQ(linesStartingWith(trace, "glLineWidth("), std::vector<std::string>{"glLineWidth(1.5)"});
    EXPECT_EQ(linesStartingWith(trace, "glUniform1f(inputNeighbour, "),
              std::vector<std::string>{"glUniform1f(inputNeighbour, " + traced(0.00125f) + ")"});
    EXPECT_EQ(countLines(trace, "glUniform1i(pingTexture, 0)"), 1) << traceText(trace);
    EXPECT_EQ(countLines(trace, "glUniform1i(pongTexture, 1)"), 1) << traceText(trace);
    EXPECT_EQ(linesStartingWith(trace, "glUniform1i(pingTexture").size(), 1u);
    EXPECT_EQ(linesStartingWith(trace, "glUniform1i(pongTexture").size(), 1u);
    // The orthographic projection of (-800, 800) x (-1200, 1200) x (-1, 1) times the scaling by
    // (800, 600, 1): x and y to half of each, z flipped. Uploaded once to each program.
    const std::string mvp = "glUniformMatrix4fv(mvpMatrix, 1, 0, 1 0 0 0 0 0.5 0 0 0 0 -1 0 0 0 0 1)";
    EXPECT_EQ(linesStartingWith(trace, "glUniformMatrix4fv("), (std::vector<std::string>{mvp, mvp}))
        << traceText(trace);
}

TEST(ShaderLoading, AShortReadNamesTheFileAndBothCounts)
{
    // The first read after EGL is up is the wireframe's vertex shader; the shim reads half of it.
    const std::string file = "assets/PatchTorus_Wireframe_shader.vert";
    const auto length =
        std::filesystem::file_size(std::filesystem::path(buildPath(programs::patchTorus)).parent_path() / file);
    ShimmedRun run(programs::patchTorus, {"fread@eglMakeCurrent"});
    ASSERT_TRUE(run.serverStarted());
    EXPECT_EQ(run.process().waitForExit(30), 1);
    EXPECT_EQ(run.process().standardError(),
              "Error: Error reading " + file + " (read " + std::to_string(length / 2) + " of " +
                  std::to_string(length) + ")\n");
}

TEST(ShaderLoading, AFailedCompilationWithAnEmptyInfoLogPrintsAnEmptyLog)
{
    TestFolder folder;
    const std::string programFolder = std::filesystem::path(buildPath(programs::patchTorus)).parent_path().string();
    std::filesystem::copy(programFolder, folder.path(), std::filesystem::copy_options::recursive);
    const std::string source = "#version 300 es\nvoid main() { gl_Position = undeclared; }\n";
    folder.write("assets/PatchTorus_Wireframe_shader.vert", source);
    ShimmedRun run(programs::patchTorus, {"glGetShaderiv"}, folder.path());
    ASSERT_TRUE(run.serverStarted());
    EXPECT_EQ(run.process().waitForExit(30), 1);
    EXPECT_EQ(run.process().standardError(),
              "Error: Debug source START:\n" + source +
                  "\nDebug source END\n\n\n"
                  "Error: Log START:\n\nLog END\n\n\n"
                  "Error: Compilation FAILED!\n\n\n");
}
