// FormatCarousel under the fault shim: when it changes format, what it uploads and what it
// deletes, read from the trace of its GL calls.

#include "EtcFormat.h"
#include "Pkm.h"
#include "ShimmedRun.h"
#include "TestFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>

namespace {

const std::string programFolder = std::filesystem::path(buildPath(programs::formatCarousel)).parent_path().string();

// The names of the image textures, in the order of their uploads.
std::vector<unsigned> imageTextures(const std::vector<std::string>& trace)
{
    std::vector<unsigned> names;
    unsigned bound = 0;
    for (const std::string& line : trace) {
        unsigned target = 0, name = 0;
        if (sscanf(line.c_str(), "glBindTexture(0x%x, %u)", &target, &name) == 2)
            bound = name;
        else if (line.rfind("glCompressedTexImage2D(", 0) == 0)
            names.push_back(bound);
    }
    return names;
}

struct Frame {
    double clearedAt = -1;
    unsigned image = 0;
};

// Each presented frame: when it started (its first clear) and which image it drew.
std::vector<Frame> framesOf(const std::vector<std::string>& trace)
{
    const std::vector<unsigned> images = imageTextures(trace);
    const std::set<unsigned> imageSet(images.begin(), images.end());
    std::vector<Frame> frames;
    Frame frame;
    for (const std::string& line : trace) {
        unsigned mask = 0, target = 0, name = 0;
        double at = 0;
        if (sscanf(line.c_str(), "glClear(0x%x) at %lf", &mask, &at) == 2 && frame.clearedAt < 0)
            frame.clearedAt = at;
        else if (sscanf(line.c_str(), "glBindTexture(0x%x, %u)", &target, &name) == 2 && imageSet.count(name) != 0)
            frame.image = name;
        else if (line.rfind("eglSwapBuffers", 0) == 0) {
            frames.push_back(frame);
            frame = Frame{};
        }
    }
    return frames;
}

} // namespace

TEST(FormatCarouselTrace, TheFirstFormatStaysFiveSecondsFromTheFirstFrameHoweverLongTheSetUpTook)
{
    // Three seconds more set-up: a timer started before it would change format after two.
    ShimmedRun run(programs::formatCarousel, {}, "", {{"KORVO_SHIM_PAUSE", "3"}});
    ASSERT_TRUE(run.serverStarted());
    const auto formatChanged = [&] {
        const std::vector<Frame> frames = framesOf(run.trace());
        return !frames.empty() && frames.back().image != frames.front().image;
    };
    ASSERT_TRUE(run.waitFor(formatChanged, 40)) << run.process().standardError();
    EXPECT_EQ(run.closeAndWait(), 0);

    const std::vector<Frame> frames = framesOf(run.trace());
    const std::vector<unsigned> images = imageTextures(run.trace());
    ASSERT_EQ(images.size(), 10u);
    EXPECT_EQ(frames.front().image, images[0]);
    size_t changed = 0;
    while (changed < frames.size() && frames[changed].image == images[0])
        ++changed;
    ASSERT_LT(changed, frames.size());
    EXPECT_EQ(frames[changed].image, images[1]);
    // The timer was reset right before the first frame's clear, and a frame changes format
    // only once more than five seconds have passed. The trace stamps each clear a little after
    // the program read its clock (more under load), hence the margin; a timer started before
    // the three seconds of set-up would change after two.
    constexpr double stampMargin = 0.25;
    EXPECT_GT(frames[changed].clearedAt - frames.front().clearedAt, 5.0 - stampMargin);
    EXPECT_LE(frames[changed - 1].clearedAt - frames.front().clearedAt, 5.0 + stampMargin);
}

TEST(FormatCarouselTrace, TearDownDeletesTheTenImagesInOrderThenBuffersArrayAndFont)
{
    ShimmedRun run(programs::formatCarousel);
    ASSERT_TRUE(run.serverStarted());
    ASSERT_TRUE(run.waitForSwaps(2)) << run.process().standardError();
    EXPECT_EQ(run.closeAndWait(), 0);
    const std::vector<std::string> trace = run.trace();
    const std::vector<unsigned> images = imageTextures(trace);
    ASSERT_EQ(images.size(), 10u);
    const std::vector<std::string> tail = linesAfterLast(trace, "eglSwapBuffers");
    ASSERT_GE(tail.size(), 13u) << traceText(trace);
    for (size_t i = 0; i < 10; ++i)
        EXPECT_EQ(tail[i], "glDeleteTextures(1, " + std::to_string(images[i]) + ")") << traceText(trace);
    unsigned buffers[2], array = 0, font = 0;
    EXPECT_EQ(sscanf(tail[10].c_str(), "glDeleteBuffers(2, %u %u)", &buffers[0], &buffers[1]), 2) << tail[10];
    EXPECT_EQ(sscanf(tail[11].c_str(), "glDeleteVertexArrays(1, %u)", &array), 1) << tail[11];
    // Then the text renderer's font texture (whether it deletes its program too is its own
    // choice), then the shell's shut-down.
    const auto shellStart = std::find(tail.begin() + 12, tail.end(), shellShutDown.front());
    EXPECT_EQ(std::vector<std::string>(shellStart, tail.end()), shellShutDown) << traceText(trace);
    const std::vector<std::string> text(tail.begin() + 12, shellStart);
    const std::vector<std::string> textDeletes = linesStartingWith(text, "glDeleteTextures(");
    ASSERT_EQ(textDeletes.size(), 1u) << traceText(trace);
    EXPECT_EQ(sscanf(textDeletes[0].c_str(), "glDeleteTextures(1, %u)", &font), 1) << textDeletes[0];
    EXPECT_EQ(std::set<unsigned>(images.begin(), images.end()).count(font), 0u);
    EXPECT_EQ(linesStartingWith(text, "glDeleteProgram(").size(), text.size() - 1) << traceText(trace);
}

TEST(FormatCarouselTrace, UploadsAnImageAtItsOwnSizeNotItsBlockPaddedSize)
{
    TestFolder folder;
    std::filesystem::copy(programFolder, folder.path(), std::filesystem::copy_options::recursive);
    // The first format's file as a 13 x 7 R11 image: 4 x 2 blocks of 8 bytes.
    etc::PkmFile small;
    small.format = etc::Format::R11;
    small.width = 13;
    small.height = 7;
    small.payload.assign(4 * 2 * 8, 0x55);
    const std::vector<std::uint8_t> bytes = etc::serializePkm(small);
    std::ofstream(folder.pathOf("assets/textures/compressed/HeightMap.pkm"), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));

    ShimmedRun run(programs::formatCarousel, {}, folder.path());
    ASSERT_TRUE(run.serverStarted());
    ASSERT_TRUE(run.waitForSwaps(1)) << run.process().standardError();
    EXPECT_EQ(run.closeAndWait(), 0);
    const std::vector<std::string> uploads = linesStartingWith(run.trace(), "glCompressedTexImage2D(");
    ASSERT_EQ(uploads.size(), 10u);
    EXPECT_EQ(uploads[0], "glCompressedTexImage2D(0x0de1, 0, 0x9270, 13, 7, 0, 64)");
}
