#include "AlphaPlaneFixture.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

namespace {

const std::string es2Programs = "samples/OpenGL-ES-2.0/linux/";

bool showsClearColour(const std::vector<std::uint8_t>& rgba, size_t pixel)
{
    for (int channel = 0; channel < 3; ++channel)
        if (std::abs(rgba[4 * pixel + channel] - clearColour[channel]) > 1)
            return false;
    return true;
}

} // namespace

std::string AlphaPlaneProgram::buildFolder() const { return buildPath(es2Programs + name); }

const AlphaPlaneProgram& packedAlphaPlane()
{
    static const AlphaPlaneProgram program{"PackedAlphaPlane", "PackedAlphaPlane_dualtex.frag",
                                           "PackedAlphaPlane_dualtex.vert", "carpetHalved_compressed_mip_5_alpha.pkm",
                                           true};
    return program;
}

const AlphaPlaneProgram& rawAlphaPlane()
{
    static const AlphaPlaneProgram program{"RawAlphaPlane", "RawAlphaPlane_dualtex.frag", "RawAlphaPlane_dualtex.vert",
                                           "carpetHalved_uncompressed_mip_5.pkm", true};
    return program;
}

const AlphaPlaneProgram& stackedAlpha()
{
    static const AlphaPlaneProgram program{"StackedAlpha", "StackedAlpha_atlastex.frag", "StackedAlpha_atlastex.vert",
                                           "carpetHalved_atlas_mip_5.pkm", false};
    return program;
}

std::string programTestName(const testing::TestParamInfo<const AlphaPlaneProgram*>& info) { return info.param->name; }

int sourceLineOf(const std::string& relativePath, const std::string& text)
{
    std::ifstream source(std::string(KORVO_SOURCE_ROOT) + "/" + relativePath);
    std::string line;
    for (int number = 1; std::getline(source, line); ++number)
        if (line.find(text) != std::string::npos)
            return number;
    return 0;
}

ProgramCopy::ProgramCopy(const AlphaPlaneProgram& program) : program(program), copyFolder(scratch.pathOf(program.name))
{
    std::filesystem::create_directories(copyFolder);
    std::filesystem::copy(program.buildFolder() + "/" + program.name, copyFolder + "/" + program.name);
    std::filesystem::copy(program.buildFolder() + "/assets", copyFolder + "/assets",
                          std::filesystem::copy_options::recursive);
}

std::string ProgramCopy::executable() const { return copyFolder + "/" + program.name; }

void ProgramCopy::removeAsset(const std::string& name) const
{
    EXPECT_TRUE(std::filesystem::remove(copyFolder + "/assets/" + name)) << name;
}

void ProgramCopy::writeAsset(const std::string& name, const std::string& text) const
{
    std::ofstream(copyFolder + "/assets/" + name, std::ios::binary | std::ios::trunc) << text;
}

RunningProgram::RunningProgram(const AlphaPlaneProgram& program, const std::string& folder,
                               const Environment& environment)
    : x11(server.displayName())
{
    const std::string workingFolder = folder.empty() ? program.buildFolder() : folder;
    Environment childEnvironment = environment;
    childEnvironment.emplace_back("DISPLAY", server.displayName());
    child = std::make_unique<TestProcess>(
        TestProcess::Options{workingFolder + "/" + program.name, {}, workingFolder, childEnvironment, {}});
}

Window RunningProgram::waitForFirstFrame()
{
    const Window window = x11.waitForWindow("main");
    if (window == 0)
        return 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline && child->running()) {
        const std::vector<std::uint8_t> rgba = windowPixels(window);
        // The bottom-right corner lies outside every quad.
        if (!rgba.empty() && showsClearColour(rgba, rgba.size() / 4 - 1))
            return window;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return 0;
}

std::vector<std::uint8_t> RunningProgram::windowPixels(Window window)
{
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgba = x11.readPixels(window, width, height);
    if (width != windowWidth || height != windowHeight || rgba.size() != size_t{4} * windowWidth * windowHeight)
        return {};
    return rgba;
}

bool startsWithFormatListing(const std::string& standardError)
{
    return standardError.rfind("Number of texture formats supported: ", 0) == 0 &&
        standardError.find("\nFormats:\n\n") != std::string::npos &&
        standardError.find("0x00008d64\t\nGL_ETC1_RGB8_OES\n\n") != std::string::npos;
}
