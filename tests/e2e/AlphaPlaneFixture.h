#ifndef ALPHA_PLANE_FIXTURE_H
#define ALPHA_PLANE_FIXTURE_H

#include "TestFolder.h"
#include "TestProcess.h"
#include "X11Client.h"
#include "XvfbServer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// One of the three ETC1 alpha programs, as its build folder holds it.
struct AlphaPlaneProgram {
    std::string name;
    std::string fragmentShader;
    std::string vertexShader;
    // A level file of a chain the program loads (deleted to break it).
    std::string levelFile;
    // Whether the program has a second texture, and its shaders need "u_s2dAlpha".
    bool hasAlphaTexture;

    std::string buildFolder() const;
};

const AlphaPlaneProgram& packedAlphaPlane();
const AlphaPlaneProgram& rawAlphaPlane();
const AlphaPlaneProgram& stackedAlpha();

// Names the cases of a suite run over the programs after the program.
std::string programTestName(const testing::TestParamInfo<const AlphaPlaneProgram*>& info);

constexpr int windowWidth = 640;
constexpr int windowHeight = 480;
// The clear colour (0.125, 0.25, 0.5) in 8 bits per channel, to within one step.
constexpr int clearColour[3] = {32, 64, 128};

// The line of `text` in a source file under the source tree (1-based), 0 if absent.
int sourceLineOf(const std::string& relativePath, const std::string& text);

// A copy of a program's build folder, executable and staged assets, to break on purpose.
class ProgramCopy {
public:
    explicit ProgramCopy(const AlphaPlaneProgram& program);
    const std::string& folder() const { return copyFolder; }
    std::string executable() const;
    void removeAsset(const std::string& name) const;
    void writeAsset(const std::string& name, const std::string& text) const;

private:
    const AlphaPlaneProgram& program;
    TestFolder scratch;
    std::string copyFolder;
};

// A program started in a folder (its build folder unless told) on its own X server, with
// any further environment variables given.
class RunningProgram {
public:
    using Environment = std::vector<std::pair<std::string, std::string>>;
    explicit RunningProgram(const AlphaPlaneProgram& program, const std::string& folder = "",
                            const Environment& environment = {});

    TestProcess& process() { return *child; }
    X11Client& client() { return x11; }
    bool serverStarted() const { return server.ok() && x11.ok(); }

    // The window once its first frame shows (0 if none appeared).
    Window waitForFirstFrame();
    // RGBA rows from the top; empty if the window is not 640 x 480.
    std::vector<std::uint8_t> windowPixels(Window window);

private:
    XvfbServer server;
    X11Client x11;
    std::unique_ptr<TestProcess> child;
};

// Whether standard error starts with the texture loader's listing of the compressed
// formats, ETC1 among them.
bool startsWithFormatListing(const std::string& standardError);

#endif
