#include "Text.h"

#include "ExitExpectation.h"
#include "OffscreenContext.h"
#include "TestFolder.h"

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using KorvoSDK::Text;

namespace {

constexpr int surfaceWidth = 96;
constexpr int surfaceHeight = 40;
using Rgb = std::array<int, 3>;

// A glyph pixel of the test font: a fixed pseudo-random pattern that differs per cell, so a
// glyph drawn from the wrong cell, flipped or shifted by a pixel does not match.
bool fontPixelSet(int glyph, int px, int py)
{
    unsigned hash = static_cast<unsigned>(glyph * 131 + py * 17 + px) * 2654435761u;
    return (hash >> 15) & 1;
}

// 256 x 48 RGBA: opaque white glyph pixels on transparent white.
std::string testFont()
{
    std::string bytes;
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 256; ++x) {
            const int glyph = (y / 16) * 32 + x / 8;
            bytes += std::string(3, '\xff');
            bytes += fontPixelSet(glyph, x % 8, y % 16) ? '\xff' : '\0';
        }
    }
    return bytes;
}

std::string readSourceAsset(const std::string& name)
{
    std::ifstream in(std::string(KORVO_SOURCE_ROOT) + "/samples/OpenGL-ES-3.0/linux/FormatCarousel/assets/" + name);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_FALSE(text.str().empty()) << name;
    return text.str();
}

// A resource folder holding the project's font shaders and the given font file.
std::string resourceFolder(const TestFolder& folder, const std::string& font)
{
    folder.write("font.vert", readSourceAsset("font.vert"));
    folder.write("font.frag", readSourceAsset("font.frag"));
    folder.write("font.raw", font);
    return folder.path() + "/";
}

std::vector<unsigned char> readFramebuffer()
{
    std::vector<unsigned char> pixels(surfaceWidth * surfaceHeight * 4);
    glReadPixels(0, 0, surfaceWidth, surfaceHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

Rgb pixelAt(const std::vector<unsigned char>& pixels, int x, int y)
{
    const unsigned char* p = &pixels[(y * surfaceWidth + x) * 4];
    return {p[0], p[1], p[2]};
}

void clearWithBlending()
{
    // Whole 8-bit steps: a channel halfway between two (0.3 is 76.5 / 255) may be rounded
    // either way, and softpipe rounds it differently when it blends onto the cleared value.
    glClearColor(26 / 255.0f, 77 / 255.0f, 51 / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

// Glyph cells drawn left to right from (x, y).
struct Label {
    int x, y;
    std::vector<int> glyphs;
};

// The glyph of `labels` covering a pixel, or -1; with the pixel's place in its cell.
int glyphAt(const std::vector<Label>& labels, int sx, int sy, int* px, int* py)
{
    for (const Label& label : labels) {
        const int offset = sx - label.x;
        if (offset < 0 || offset >= 8 * static_cast<int>(label.glyphs.size()) || sy < label.y || sy >= label.y + 16)
            continue;
        *px = offset % 8;
        *py = 15 - (sy - label.y); // the font's first row is the top of the glyph
        return label.glyphs[offset / 8];
    }
    return -1;
}

// Every pixel of the framebuffer: the text colour where a label's glyph has a font pixel,
// the background everywhere else.
void expectLabels(const std::vector<unsigned char>& pixels, const std::vector<Label>& labels, Rgb colour,
                  Rgb background)
{
    int mismatches = 0;
    for (int sy = 0; sy < surfaceHeight; ++sy) {
        for (int sx = 0; sx < surfaceWidth; ++sx) {
            int px = 0, py = 0;
            const int glyph = glyphAt(labels, sx, sy, &px, &py);
            const Rgb expected = glyph >= 0 && fontPixelSet(glyph, px, py) ? colour : background;
            const Rgb actual = pixelAt(pixels, sx, sy);
            if (actual != expected && ++mismatches <= 5)
                ADD_FAILURE() << "pixel (" << sx << ", " << sy << ") is " << actual[0] << ", " << actual[1] << ", "
                              << actual[2] << "; expected " << expected[0] << ", " << expected[1] << ", "
                              << expected[2];
        }
    }
    EXPECT_EQ(mismatches, 0);
}

} // namespace

TEST(TextGlTest, LabelPutsEachGlyphPixelWhereTheFontHasIt)
{
    OffscreenContext context(surfaceWidth, surfaceHeight);
    ASSERT_TRUE(context.ok());
    TestFolder folder;
    Text* text = new Text(resourceFolder(folder, testFont()).c_str(), surfaceWidth, surfaceHeight);

    clearWithBlending();
    const Rgb background = pixelAt(readFramebuffer(), 0, 0);
    // "A" is cell 33, a control byte takes the space cell (0), "~" cell 94; then a second string.
    text->addString(3, 5, "A\x01~", 255, 128, 0, 255);
    text->addString(40, 20, "q", 255, 128, 0, 255);
    text->draw();
    const std::vector<unsigned char> pixels = readFramebuffer();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    expectLabels(pixels, {{3, 5, {33, 0, 94}}, {40, 20, {'q' - 32}}}, {255, 128, 0}, background);

    // The queue survives drawing; clear empties it.
    clearWithBlending();
    text->draw();
    EXPECT_EQ(readFramebuffer(), pixels);
    text->clear();
    clearWithBlending();
    text->draw();
    expectLabels(readFramebuffer(), {}, {0, 0, 0}, background);

    delete text;
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(TextGlTest, DrawingAnEmptyQueueUnbindsVertexArrayAndBufferOnly)
{
    OffscreenContext context(surfaceWidth, surfaceHeight);
    ASSERT_TRUE(context.ok());
    TestFolder folder;
    Text text(resourceFolder(folder, testFont()).c_str(), surfaceWidth, surfaceHeight);

    GLuint vertexArray = 0, buffer = 0;
    glGenVertexArrays(1, &vertexArray);
    glBindVertexArray(vertexArray);
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    clearWithBlending();
    const std::vector<unsigned char> before = readFramebuffer();

    text.draw();
    GLint boundArray = -1, boundBuffer = -1;
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &boundArray);
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &boundBuffer);
    EXPECT_EQ(boundArray, 0);
    EXPECT_EQ(boundBuffer, 0);
    EXPECT_EQ(readFramebuffer(), before);
    glDeleteBuffers(1, &buffer);
    glDeleteVertexArrays(1, &vertexArray);
}

TEST(TextGlTest, ShortOrMissingFontFileEndsTheProgram)
{
    OffscreenContext context(surfaceWidth, surfaceHeight);
    ASSERT_TRUE(context.ok());
    TestFolder folder;
    const std::string resources = resourceFolder(folder, testFont().substr(0, 49151));
    const std::string font = resources + "font.raw";
    EXPECT_EXIT_WITH_STDERR(Text(resources.c_str(), surfaceWidth, surfaceHeight), 1,
                            "Error: Font file '" + font + "' is 49151 bytes long, a 256x48 RGBA image needs 49152\n\n");

    std::remove(font.c_str());
    EXPECT_EXIT_WITH_STDERR(Text(resources.c_str(), surfaceWidth, surfaceHeight), 1,
                            "Error: Failed to open '" + font + "'\n\n");
}

TEST(TextGlTest, ShaderWithoutTheColourAttributeEndsTheProgram)
{
    OffscreenContext context(surfaceWidth, surfaceHeight);
    ASSERT_TRUE(context.ok());
    TestFolder folder;
    const std::string resources = resourceFolder(folder, testFont());
    folder.write("font.vert",
                 "#version 300 es\n"
                 "in vec4 a_v4Position;\n"
                 "in vec2 a_v2TexCoord;\n"
                 "out vec2 v_v2TexCoord;\n"
                 "out vec4 v_v4FontColor;\n"
                 "void main() { v_v2TexCoord = a_v2TexCoord; v_v4FontColor = vec4(1.0);"
                 " gl_Position = a_v4Position; }\n");
    EXPECT_EXIT_WITH_STDERR_MATCHING(Text(resources.c_str(), surfaceWidth, surfaceHeight), 1,
                                     "Error: Attribute not found at [^\n]*Text\\.cpp:[0-9]+\n\n");
}
