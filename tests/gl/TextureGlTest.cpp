#include "Texture.h"

#include "ExitExpectation.h"
#include "GlTestPrograms.h"
#include "OffscreenContext.h"
#include "PkmFile.h"
#include "TestFolder.h"

#include <gtest/gtest.h>

#include <GLES2/gl2ext.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace KorvoSDK;

namespace {

struct Colour4 {
    int red4, green4, blue4;
};

// Distinct per level, so a sample shows which level it came from.
const Colour4 levelColours[] = {{15, 0, 0}, {0, 15, 0}, {0, 0, 15}, {8, 8, 0}, {0, 8, 8}, {8, 0, 8}};

Colour4 colourOfLevel(int level) { return levelColours[level % 6]; }

// What the ETC1 decoder makes of one of the test's solid blocks.
std::array<int, 3> decodedColour(Colour4 colour)
{
    const auto channel = [](int value4) { return std::min(255, 17 * value4 + 2); };
    return {channel(colour.red4), channel(colour.green4), channel(colour.blue4)};
}

// Writes levels 0 .. levelCount - 1 of a chain from width x height, halving down to 1 x 1.
void writeChain(const TestFolder& folder, int width, int height, int levelCount)
{
    for (int level = 0; level < levelCount; ++level) {
        const Colour4 c = colourOfLevel(level);
        folder.write("mip_" + std::to_string(level) + ".pkm",
                     pkmFile(width, height, solidEtc1Blocks(c.red4, c.green4, c.blue4, etcBlockCount(width, height))));
        width = std::max(1, width / 2);
        height = std::max(1, height / 2);
    }
}

// A program drawing one full-window triangle that samples texture unit 0 at a given level
// of detail.
GLuint createLevelSamplingProgram()
{
    const GLuint program = fullViewportProgram("#version 300 es\n"
                                               "precision mediump float;\n"
                                               "uniform sampler2D image;\n"
                                               "uniform float lod;\n"
                                               "out vec4 colour;\n"
                                               "void main() { colour = textureLod(image, vec2(0.5), lod); }\n");
    return program;
}

// The colour of the centre pixel drawn with the sampling program.
std::array<int, 3> sampleLevel(GLuint program, float lod)
{
    glUseProgram(program);
    glUniform1i(glGetUniformLocation(program, "image"), 0);
    glUniform1f(glGetUniformLocation(program, "lod"), lod);
    glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glDrawArrays(GL_TRIANGLES, 0, 3);
    unsigned char pixel[4] = {};
    glReadPixels(2, 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    return {pixel[0], pixel[1], pixel[2]};
}

// The chain in the folder, loaded and checked level by level by sampling each level.
void expectChainSamplesEveryLevel(const TestFolder& folder, int levelCount)
{
    GLuint texture = 0;
    Texture::loadEtc1MipmapChain(folder.pathOf("mip_").c_str(), ".pkm", &texture);
    ASSERT_NE(texture, 0u);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), texture);
    // An incomplete texture (a level missing) would sample as black at every level.
    const GLuint program = createLevelSamplingProgram();
    for (int level = 0; level < levelCount; ++level)
        EXPECT_EQ(sampleLevel(program, static_cast<float>(level)), decodedColour(colourOfLevel(level)))
            << "level " << level;
    glDeleteProgram(program);
    glDeleteTextures(1, &texture);
}

std::string formatListing(const std::vector<GLint>& formats)
{
    std::string listing = "Number of texture formats supported: " + std::to_string(formats.size()) + "\nFormats:\n\n";
    for (GLint format : formats) {
        char value[16];
        snprintf(value, sizeof(value), "0x%.8x\t\n", static_cast<unsigned>(format));
        listing += value;
        listing += format == GL_ETC1_RGB8_OES ? "GL_ETC1_RGB8_OES\n\n" : "UNKNOWN\n\n";
    }
    return listing;
}

std::vector<GLint> compressedFormatsFromGl()
{
    GLint count = 0;
    glGetIntegerv(GL_NUM_COMPRESSED_TEXTURE_FORMATS, &count);
    std::vector<GLint> formats(static_cast<size_t>(count));
    glGetIntegerv(GL_COMPRESSED_TEXTURE_FORMATS, formats.data());
    return formats;
}

} // namespace

TEST(TextureGlTest, Etc1MipmapChainUploadsEveryLevelFromItsOwnFile)
{
    OffscreenContext context(4, 4);
    ASSERT_TRUE(context.ok());
    {
        TestFolder folder;
        writeChain(folder, 8, 2, 4); // 8x2, 4x1, 2x1, 1x1
        expectChainSamplesEveryLevel(folder, 4);
    }
    {
        TestFolder folder;
        writeChain(folder, 1, 1, 1);
        expectChainSamplesEveryLevel(folder, 1);
    }
}

TEST(TextureGlTest, Etc1MipmapChainReadsLevelTenAndAboveByTheirFullNumber)
{
    OffscreenContext context(4, 4);
    ASSERT_TRUE(context.ok());
    TestFolder folder;
    writeChain(folder, 2048, 4, 12); // 12 levels: files mip_0 .. mip_11
    expectChainSamplesEveryLevel(folder, 12);
}

TEST(TextureGlTest, Etc1MipmapChainStopsAtAMissingOrTruncatedLevel)
{
    OffscreenContext context(4, 4);
    ASSERT_TRUE(context.ok());
    TestFolder folder;
    writeChain(folder, 8, 2, 4);
    const std::string base = folder.pathOf("mip_");
    GLuint texture = 0;

    std::remove((base + "2.pkm").c_str());
    EXPECT_EXIT_WITH_STDERR(Texture::loadEtc1MipmapChain(base.c_str(), ".pkm", &texture), 1,
                            "Error: Failed to open '" + base + "2.pkm'\n\n");

    // 4x1 is one block: 8 payload bytes; give it 7.
    folder.write("mip_1.pkm", pkmFile(4, 1, solidEtc1Blocks(0, 15, 0, 1).substr(0, 7)));
    EXPECT_EXIT_WITH_STDERR(Texture::loadEtc1MipmapChain(base.c_str(), ".pkm", &texture), 1,
                            "Error: PKM file '" + base +
                                "1.pkm' holds 7 payload bytes, its header needs 8 for format 0x8d64\n\n");

    folder.write("mip_0.pkm", "PKM 10");
    EXPECT_EXIT_WITH_STDERR(Texture::loadEtc1MipmapChain(base.c_str(), ".pkm", &texture), 1,
                            "Error: PKM file '" + base + "0.pkm' is 6 bytes long, shorter than its 16-byte header\n\n");
}

TEST(TextureGlTest, LevelWhoseSizeDoesNotFitItsDimensionsIsAGlError)
{
    OffscreenContext context(4, 4);
    ASSERT_TRUE(context.ok());
    TestFolder folder;
    // Width 8 but padded width 4: 8 payload bytes where the GL wants 16.
    std::string file = pkmFile(8, 4, solidEtc1Blocks(1, 2, 3, 2));
    file[9] = 4;
    folder.write("mip_0.pkm", file);
    GLuint texture = 0;
    const std::string base = folder.pathOf("mip_");
    EXPECT_EXIT_WITH_STDERR(Texture::loadEtc1MipmapChain(base.c_str(), ".pkm", &texture), 1, "");
}

TEST(TextureGlTest, Etc1SupportedListsTheCompressedFormatsWhenVerbose)
{
    OffscreenContext context(4, 4);
    ASSERT_TRUE(context.ok());
    const std::vector<GLint> formats = compressedFormatsFromGl();
    ASSERT_FALSE(formats.empty());

    GLint* queried = nullptr;
    GLint count = -1;
    Texture::queryCompressedFormats(&queried, &count);
    ASSERT_EQ(count, static_cast<GLint>(formats.size()));
    EXPECT_EQ(std::vector<GLint>(queried, queried + count), formats);
    free(queried);

    const bool hasEtc1 = std::find(formats.begin(), formats.end(), GL_ETC1_RGB8_OES) != formats.end();
    EXPECT_TRUE(hasEtc1) << "llvmpipe offers ETC1";
    EXPECT_EXIT_WITH_STDERR(exit(Texture::etc1Supported(true) == hasEtc1 ? 0 : 2), 0, formatListing(formats));
    EXPECT_EXIT_WITH_STDERR(exit(Texture::etc1Supported(false) == hasEtc1 ? 0 : 2), 0, "");
}
