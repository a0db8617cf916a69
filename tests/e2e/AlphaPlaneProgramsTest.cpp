// The three ETC1 alpha programs run as a user runs them: started in their build folder,
// ended by a click or a close request, broken by a missing file or an unfit shader.

#include "AlphaPlaneFixture.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

const std::string sharedSampleSource = "samples/OpenGL-ES-2.0/linux/AlphaPlaneCommon/AlphaPlaneSample.cpp";

// A fragment shader that reads only the colour texture.
const char* const colourOnlyShader = "precision mediump float;\n"
                                     "uniform sampler2D u_s2dTexture;\n"
                                     "varying vec2 v_v2TexCoord;\n"
                                     "void main() { gl_FragColor = texture2D(u_s2dTexture, v_v2TexCoord); }\n";

bool endsWith(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

class AlphaPlaneProgramTest : public testing::TestWithParam<const AlphaPlaneProgram*> {
protected:
    const AlphaPlaneProgram& program() const { return *GetParam(); }

    // Runs a broken copy to its end; returns the exit status and its standard error.
    int runCopy(const ProgramCopy& copy, std::string& standardError)
    {
        RunningProgram running(program(), copy.folder());
        EXPECT_TRUE(running.serverStarted());
        const int status = running.process().waitForExit(30);
        standardError = running.process().standardError();
        return status;
    }
};

} // namespace

TEST_P(AlphaPlaneProgramTest, ListsTheFormatsDrawsAndEndsWithZeroOnAClick)
{
    RunningProgram running(program());
    ASSERT_TRUE(running.serverStarted());
    const Window window = running.waitForFirstFrame();
    ASSERT_NE(window, 0u) << running.process().standardError();
    const X11Client::WindowFacts facts = running.client().facts(window);
    EXPECT_EQ(facts.width, windowWidth);
    EXPECT_EQ(facts.height, windowHeight);

    running.client().click(window, 320, 240);
    EXPECT_EQ(running.process().waitForExit(20), 0);
    const std::string output = running.process().standardError();
    EXPECT_TRUE(startsWithFormatListing(output)) << output;
    EXPECT_EQ(output.find("Error"), std::string::npos) << output;
}

TEST_P(AlphaPlaneProgramTest, EndsWithZeroOnACloseRequest)
{
    RunningProgram running(program());
    ASSERT_TRUE(running.serverStarted());
    const Window window = running.waitForFirstFrame();
    ASSERT_NE(window, 0u) << running.process().standardError();
    running.client().requestClose(window);
    EXPECT_EQ(running.process().waitForExit(20), 0);
}

TEST_P(AlphaPlaneProgramTest, MissingLevelFileEndsWithItsNameAndStatusOne)
{
    ProgramCopy copy(program());
    copy.removeAsset(program().levelFile);
    std::string output;
    EXPECT_EQ(runCopy(copy, output), 1);
    EXPECT_TRUE(startsWithFormatListing(output)) << output;
    EXPECT_TRUE(endsWith(output, "\nError: Failed to open 'assets/" + program().levelFile + "'\n\n")) << output;
}

// A folder opens for reading like a file, but holds nothing to load: it fails as a file that
// cannot be opened, named.
TEST_P(AlphaPlaneProgramTest, AFolderInPlaceOfAnAssetFailsAsAFileThatCannotBeOpened)
{
    for (const auto& [asset, message] : {std::pair{program().levelFile, std::string("Failed to open")},
                                         std::pair{program().vertexShader, std::string("Cannot read file")}}) {
        ProgramCopy copy(program());
        copy.removeAsset(asset);
        std::filesystem::create_directory(copy.folder() + "/assets/" + asset);
        std::string output;
        EXPECT_EQ(runCopy(copy, output), 1) << asset;
        EXPECT_TRUE(endsWith(output, "\nError: " + message + " 'assets/" + asset + "'\n\n")) << output;
    }
}

TEST_P(AlphaPlaneProgramTest, ShaderWithoutThePositionAttributeEndsWithStatusOne)
{
    ProgramCopy copy(program());
    copy.writeAsset(program().vertexShader,
                    "attribute vec4 a_v4Elsewhere;\n"
                    "attribute vec2 a_v2TexCoord;\n"
                    "varying vec2 v_v2TexCoord;\n"
                    "void main() { gl_Position = a_v4Elsewhere; v_v2TexCoord = a_v2TexCoord; }\n");
    std::string output;
    EXPECT_EQ(runCopy(copy, output), 1);
    EXPECT_TRUE(endsWith(output, "\nError: Attribute not found: \"a_v4Position\"\n")) << output;
}

TEST_P(AlphaPlaneProgramTest, WithoutEtc1EndsAfterTheListingWithStatusOne)
{
    // Mesa then leaves ETC1 out of the compressed formats.
    RunningProgram running(program(), "", {{"MESA_EXTENSION_OVERRIDE", "-GL_OES_compressed_ETC1_RGB8_texture"}});
    ASSERT_TRUE(running.serverStarted());
    EXPECT_EQ(running.process().waitForExit(30), 1);
    const std::string output = running.process().standardError();
    EXPECT_EQ(output.rfind("Number of texture formats supported: ", 0), 0u) << output;
    EXPECT_EQ(output.find("GL_ETC1_RGB8_OES"), std::string::npos) << output;
    EXPECT_TRUE(endsWith(output, "\nError: ETC1 not supported\n")) << output;
}

INSTANTIATE_TEST_SUITE_P(Programs, AlphaPlaneProgramTest,
                         testing::Values(&packedAlphaPlane(), &rawAlphaPlane(), &stackedAlpha()), programTestName);

using DualTextureProgramTest = AlphaPlaneProgramTest;

TEST_P(DualTextureProgramTest, ShaderWithoutTheAlphaSamplerNamesTheLineOfTheCheck)
{
    const int checkLine = sourceLineOf(sharedSampleSource, "logError(\"Uniform not found at line %i\\n\", __LINE__);");
    ASSERT_GT(checkLine, 0) << "the check is not in " << sharedSampleSource;

    ProgramCopy copy(program());
    copy.writeAsset(program().fragmentShader, colourOnlyShader);
    std::string output;
    EXPECT_EQ(runCopy(copy, output), 1);
    EXPECT_TRUE(startsWithFormatListing(output)) << output;
    EXPECT_TRUE(endsWith(output, "\nError: Uniform not found at line " + std::to_string(checkLine) + "\n\n")) << output;
}

INSTANTIATE_TEST_SUITE_P(Programs, DualTextureProgramTest, testing::Values(&packedAlphaPlane(), &rawAlphaPlane()),
                         programTestName);

TEST(RawAlphaPlaneTest, MissingOrMalformedAlphaFileEndsWithItsNameAndStatusOne)
{
    const std::string alphaFile = "carpetHalved_uncompressed_mip_0_alpha.pgm";
    {
        ProgramCopy copy(rawAlphaPlane());
        copy.removeAsset(alphaFile);
        RunningProgram running(rawAlphaPlane(), copy.folder());
        EXPECT_EQ(running.process().waitForExit(30), 1);
        EXPECT_TRUE(
            endsWith(running.process().standardError(), "\nError: Failed to open 'assets/" + alphaFile + "'\n\n"))
            << running.process().standardError();
    }
    {
        ProgramCopy copy(rawAlphaPlane());
        copy.writeAsset(alphaFile, "P5 512 256 65535\n");
        RunningProgram running(rawAlphaPlane(), copy.folder());
        EXPECT_EQ(running.process().waitForExit(30), 1);
        EXPECT_TRUE(
            endsWith(running.process().standardError(),
                     "\nError: Alpha file assets/" + alphaFile + " has wrong maximum gray value, must be 255\n"))
            << running.process().standardError();
    }
}
