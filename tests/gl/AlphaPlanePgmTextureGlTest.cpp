// The PGM alpha plane as a GL texture: rows of any width, the generated levels, and the
// unpack state left as it was.

#include "PgmAlphaTexture.h"

#include "GlTestPrograms.h"
#include "OffscreenContext.h"
#include "TestFolder.h"

#include <GLES3/gl3.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Distinct bytes, so that a row that starts at the wrong byte shows.
std::string raster(int width, int height)
{
    std::string bytes;
    for (int i = 0; i < width * height; ++i)
        bytes += static_cast<char>((i * 37 + 11) % 256);
    return bytes;
}

// Draws every texel of one level of the texture on unit 0 into the pixel of the same
// position and reads back its red channel, rows from the first stored row.
std::vector<int> fetchLevel(int level, int width, int height)
{
    // Made afresh each time: each test has a context of its own.
    const GLuint program = texelFetchProgram();
    glUseProgram(program);
    glUniform1i(glGetUniformLocation(program, "image"), 0);
    glUniform1i(glGetUniformLocation(program, "level"), level);
    glViewport(0, 0, width, height);
    glDrawArrays(GL_TRIANGLES, 0, 3);
    std::vector<unsigned char> rgba(4 * static_cast<size_t>(width) * height);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    glDeleteProgram(program);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    std::vector<int> red;
    for (size_t i = 0; i < rgba.size(); i += 4)
        red.push_back(rgba[i]);
    return red;
}

std::vector<int> bytesOf(const std::string& text)
{
    std::vector<int> values;
    for (char c : text)
        values.push_back(static_cast<unsigned char>(c));
    return values;
}

} // namespace

TEST(AlphaPlanePgmTextureGlTest, RowsOfEveryWidthArriveAsStored)
{
    OffscreenContext context(16, 16);
    ASSERT_TRUE(context.ok());
    TestFolder folder;
    for (int width : {1, 2, 3, 4, 5, 6, 7, 9}) {
        const int height = 3;
        const std::string bytes = raster(width, height);
        const std::string file =
            folder.write("w" + std::to_string(width) + ".pgm", "P5 " + std::to_string(width) + " 3 255\n" + bytes);
        GLuint texture = 0;
        readPgmAlpha(file.c_str(), &texture);
        ASSERT_NE(texture, 0u);
        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(static_cast<GLuint>(bound), texture);
        EXPECT_EQ(fetchLevel(0, width, height), bytesOf(bytes)) << "width " << width;
        glDeleteTextures(1, &texture);
    }
}

TEST(AlphaPlanePgmTextureGlTest, SmallerLevelsAreGeneratedDownToOneTexel)
{
    OffscreenContext context(16, 16);
    ASSERT_TRUE(context.ok());
    TestFolder folder;
    // 4 x 2: level 1 is 2 x 1, each texel the mean of a 2 x 2 box; level 2 is 1 x 1.
    const std::string bytes = {char(0), char(100), char(200), char(255), char(20), char(120), char(40), char(1)};
    GLuint texture = 0;
    readPgmAlpha(folder.write("box.pgm", "P5 4 2 255\n" + bytes).c_str(), &texture);
    const std::vector<int> level1 = fetchLevel(1, 2, 1);
    ASSERT_EQ(level1.size(), 2u);
    EXPECT_NEAR(level1[0], (0 + 100 + 20 + 120) / 4.0, 1.0);
    EXPECT_NEAR(level1[1], (200 + 255 + 40 + 1) / 4.0, 1.0);
    const std::vector<int> level2 = fetchLevel(2, 1, 1);
    EXPECT_NEAR(level2.at(0), (level1[0] + level1[1]) / 2.0, 1.0);
    glDeleteTextures(1, &texture);
}

TEST(AlphaPlanePgmTextureGlTest, LeavesTheUnpackAlignmentAsItWas)
{
    OffscreenContext context(4, 4);
    ASSERT_TRUE(context.ok());
    TestFolder folder;
    const std::string file = folder.write("a.pgm", "P5 3 2 255\n" + raster(3, 2));
    for (GLint alignment : {4, 8, 2}) {
        glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
        GLuint texture = 0;
        readPgmAlpha(file.c_str(), &texture);
        GLint after = 0;
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &after);
        EXPECT_EQ(after, alignment);
        glDeleteTextures(1, &texture);
    }
}
