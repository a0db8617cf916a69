// PatchTorus started in its build folder on a private X server, as a user would start it.

#include "TestFolder.h"
#include "TestProcess.h"
#include "X11Client.h"
#include "XvfbServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <thread>
#include <vector>

namespace {

const std::string programFolder = buildPath("samples/OpenGL-ES-3.0/linux/PatchTorus");
const std::string program = programFolder + "/PatchTorus";

void sleepSeconds(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

struct Picture {
    std::vector<std::uint8_t> rgba;
    int width = 0;
    int height = 0;
};

// Pixels counted by the colours the program draws with.
struct ColourCount {
    int green = 0;  // the lit solid torus: green only
    int orange = 0; // the wireframe (1.0, 0.3, 0.0)
    int black = 0;  // the cleared background
    int other = 0;
};

ColourCount countColours(const Picture& picture)
{
    ColourCount count;
    for (std::size_t i = 0; i < picture.rgba.size(); i += 4) {
        const int r = picture.rgba[i], g = picture.rgba[i + 1], b = picture.rgba[i + 2];
        if (r == 0 && g == 0 && b == 0)
            ++count.black;
        else if (r <= 2 && b <= 2 && g >= 20)
            ++count.green;
        else if (r >= 250 && g >= 70 && g <= 84 && b <= 2)
            ++count.orange;
        else
            ++count.other;
    }
    return count;
}

class PatchTorusProgram : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.ok()) << "Xvfb did not start";
        ASSERT_TRUE(client.ok());
        ASSERT_TRUE(std::filesystem::exists(program)) << program << " is not built";
    }

    std::unique_ptr<TestProcess> start(const std::string& folder = programFolder)
    {
        return std::make_unique<TestProcess>(
            TestProcess::Options{program, {}, folder, {{"DISPLAY", server.displayName()}}, {}});
    }

    Picture capture(Window window)
    {
        Picture picture;
        picture.rgba = client.readPixels(window, picture.width, picture.height);
        return picture;
    }

    // The window once the torus is on it.
    Window windowShowingTheTorus()
    {
        const Window window = client.waitForWindow("main");
        if (window == 0)
            return 0;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (countColours(capture(window)).green < 10000 && std::chrono::steady_clock::now() < deadline)
            sleepSeconds(0.05);
        return window;
    }

    XvfbServer server;
    X11Client client{server.displayName()};
};

} // namespace

TEST_F(PatchTorusProgram, DrawsTheTurningGreenTorusInItsOrangeCageAndEndsOnAClick)
{
    auto process = start();
    const Window window = windowShowingTheTorus();
    ASSERT_NE(window, 0u) << process->standardError();
    const X11Client::WindowFacts facts = client.facts(window);
    EXPECT_EQ(facts.width, 800);
    EXPECT_EQ(facts.height, 600);

    const Picture first = capture(window);
    ASSERT_EQ(first.width, 800);
    ASSERT_EQ(first.height, 600);
    const ColourCount colours = countColours(first);
    EXPECT_GT(colours.green, 10000);
    EXPECT_GT(colours.orange, 1000);
    // Black all round: the torus stays well inside the window.
    EXPECT_GT(colours.black, 800 * 600 / 2);
    EXPECT_EQ(colours.other, 0);
    const std::string artifacts = buildPath("test-artifacts");
    std::filesystem::create_directories(artifacts);
    savePng(artifacts + "/PatchTorus-window.png", first.rgba, first.width, first.height);

    sleepSeconds(0.3);
    EXPECT_NE(capture(window).rgba, first.rgba) << "the torus did not turn";

    client.click(window, 400, 300);
    EXPECT_EQ(process->waitForExit(20), 0);
    EXPECT_EQ(process->standardError(), "");
}

TEST_F(PatchTorusProgram, EndsWithStatusZeroOnACloseRequest)
{
    auto process = start();
    const Window window = windowShowingTheTorus();
    ASSERT_NE(window, 0u) << process->standardError();
    client.requestClose(window);
    EXPECT_EQ(process->waitForExit(20), 0);
    EXPECT_EQ(process->standardError(), "");
}

TEST_F(PatchTorusProgram, StartedAwayFromItsAssetsNamesTheMissingShaderAndExitsWithOne)
{
    TestFolder elsewhere;
    auto process = start(elsewhere.path());
    EXPECT_EQ(process->waitForExit(20), 1);
    EXPECT_EQ(process->standardError(), "Error: Cannot read file 'assets/PatchTorus_Wireframe_shader.vert'\n\n");
}
