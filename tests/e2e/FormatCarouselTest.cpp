// FormatCarousel started from its build folder on a private X server, as a user starts it.

#include "TestFolder.h"
#include "TestProcess.h"
#include "X11Client.h"
#include "XvfbServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <thread>

namespace {

const std::string programFolder = buildPath("samples/OpenGL-ES-3.0/linux/FormatCarousel");
const std::string program = programFolder + "/FormatCarousel";

constexpr int windowSize = 800;
constexpr int quadStart = 100; // the quad covers pixels 100 to 699 both ways
constexpr int quadEnd = 700;
constexpr int glyphWidth = 8;
constexpr int glyphHeight = 16;

using Clock = std::chrono::steady_clock;

void sleepSeconds(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// The window's pixels, rows from the top.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;

    const std::uint8_t* at(int x, int y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
};

bool near(const std::uint8_t* pixel, int red, int green, int blue, int tolerance)
{
    return std::abs(pixel[0] - red) <= tolerance && std::abs(pixel[1] - green) <= tolerance &&
        std::abs(pixel[2] - blue) <= tolerance;
}

// The clear colour (0.1, 0.3, 0.2) in 8 bits.
bool isBackground(const std::uint8_t* pixel) { return near(pixel, 26, 77, 51, 1); }

bool isGrey(const std::uint8_t* pixel) { return near(pixel, pixel[1], pixel[1], pixel[1], 1); }

bool insideQuad(int x, int y) { return x >= quadStart && x < quadEnd && y >= quadStart && y < quadEnd; }

bool insideLabel(int x, int y, const std::string& label)
{
    return x < glyphWidth * static_cast<int>(label.size()) && y >= windowSize - glyphHeight;
}

std::vector<std::uint8_t> quadPixels(const Picture& picture)
{
    std::vector<std::uint8_t> pixels;
    for (int y = quadStart; y < quadEnd; ++y)
        pixels.insert(pixels.end(), picture.at(quadStart, y), picture.at(quadEnd, y));
    return pixels;
}

// The font bitmap the program draws its label with: 256 x 48 RGBA, glyph cells 8 x 16.
class FontBitmap {
public:
    FontBitmap()
    {
        std::ifstream in(programFolder + "/assets/font.raw", std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    bool ok() const { return bytes.size() == 256 * 48 * 4; }

    // Whether the glyph of `character` covers its cell's pixel (x, y), y from the top.
    bool covers(char character, int x, int y) const
    {
        const int glyph = character - 32;
        const int px = glyphWidth * (glyph % 32) + x;
        const int py = glyphHeight * (glyph / 32) + y;
        return static_cast<unsigned char>(bytes[(py * 256 + px) * 4 + 3]) > 127;
    }

private:
    std::string bytes;
};

// How well the bottom-left corner shows `label` in white over the background, glyph by
// glyph: the share of covered pixels that are white and of the others that are background.
struct LabelMatch {
    double whereCovered = 0;
    double elsewhere = 0;
};

LabelMatch matchLabel(const Picture& picture, const FontBitmap& font, const std::string& label)
{
    int covered = 0, white = 0, uncovered = 0, background = 0;
    for (size_t k = 0; k < label.size(); ++k)
        for (int y = 0; y < glyphHeight; ++y)
            for (int x = 0; x < glyphWidth; ++x) {
                const std::uint8_t* pixel =
                    picture.at(glyphWidth * static_cast<int>(k) + x, windowSize - glyphHeight + y);
                if (font.covers(label[k], x, y)) {
                    ++covered;
                    white += near(pixel, 255, 255, 255, 40);
                } else {
                    ++uncovered;
                    background += isBackground(pixel);
                }
            }
    return {covered ? double(white) / covered : 0.0, uncovered ? double(background) / uncovered : 0.0};
}

void expectLabel(const Picture& picture, const FontBitmap& font, const std::string& label)
{
    const LabelMatch match = matchLabel(picture, font, label);
    EXPECT_GT(match.whereCovered, 0.95) << "white where the font has \"" << label << "\"'s glyphs";
    EXPECT_GT(match.elsewhere, 0.95) << "background around \"" << label << "\"'s glyphs";
}

// Copies the program's staged assets into a scratch folder the test may change.
void copyAssets(const TestFolder& folder)
{
    std::filesystem::copy(programFolder + "/assets", folder.pathOf("assets"), std::filesystem::copy_options::recursive);
}

class FormatCarouselRun : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.ok()) << "Xvfb did not start";
        ASSERT_TRUE(client.ok());
        ASSERT_TRUE(font.ok()) << "font.raw is missing from the program's assets";
    }

    void start(const std::string& workingDirectory = programFolder)
    {
        process = std::make_unique<TestProcess>(
            TestProcess::Options{program, {}, workingDirectory, {{"DISPLAY", server.displayName()}}, {}});
    }

    Picture capture()
    {
        Picture picture;
        picture.rgba = client.readPixels(window, picture.width, picture.height);
        return picture;
    }

    // Waits for the window and its first frame (the background where no quad or label is).
    Picture firstFrame()
    {
        window = client.waitForWindow("main");
        EXPECT_NE(window, 0u) << process->standardError();
        const auto deadline = Clock::now() + std::chrono::seconds(20);
        while (window != 0 && Clock::now() < deadline) {
            Picture picture = capture();
            if (picture.width == windowSize && picture.height == windowSize && isBackground(picture.at(50, 50)))
                return picture;
            sleepSeconds(0.02);
        }
        ADD_FAILURE() << "no frame within 20 seconds: " << process->standardError();
        return {};
    }

    XvfbServer server;
    X11Client client{server.displayName()};
    FontBitmap font;
    std::unique_ptr<TestProcess> process;
    Window window = 0;
};

} // namespace

TEST_F(FormatCarouselRun, FirstFrameShowsTheHeightMapLabelledAndCloseEndsWithStatusZero)
{
    start();
    const Picture picture = firstFrame();
    ASSERT_EQ(picture.width, windowSize);
    ASSERT_EQ(picture.height, windowSize);

    const std::string label = "GL_COMPRESSED_R11_EAC";
    int notBackground = 0, notGrey = 0;
    std::set<int> greyLevels;
    for (int y = 0; y < windowSize; ++y)
        for (int x = 0; x < windowSize; ++x) {
            const std::uint8_t* pixel = picture.at(x, y);
            if (insideQuad(x, y)) {
                notGrey += !isGrey(pixel);
                greyLevels.insert(pixel[1]);
            } else if (!insideLabel(x, y, label)) {
                notBackground += !isBackground(pixel);
            }
        }
    EXPECT_EQ(notBackground, 0) << "pixels outside the quad and the label that are not the background";
    EXPECT_EQ(notGrey, 0) << "the R11 height map is shown in grey levels over the whole quad";
    EXPECT_GT(greyLevels.size(), 100u) << "the quad shows a picture, not a flat colour";
    expectLabel(picture, font, label);

    client.requestClose(window);
    EXPECT_EQ(process->waitForExit(20), 0);
    EXPECT_EQ(process->standardError(), "");
}

TEST_F(FormatCarouselRun, NextFormatFollowsAfterFiveSecondsAndAClickEndsWithStatusZero)
{
    start();
    const Picture first = firstFrame();
    ASSERT_EQ(first.width, windowSize);
    const auto firstSeen = Clock::now();
    const std::vector<std::uint8_t> firstQuad = quadPixels(first);

    // When the format changes is pinned by the program's own clock in FormatCarouselTraceTest;
    // here the wall clock only bounds the wait.
    Picture next;
    while (secondsSince(firstSeen) < 30.0) {
        next = capture();
        if (quadPixels(next) != firstQuad)
            break;
        sleepSeconds(0.05);
    }
    ASSERT_NE(quadPixels(next), firstQuad) << "the picture did not change within 30 seconds";
    // The signed height map, in grey levels too, with its own label.
    expectLabel(next, font, "GL_COMPRESSED_SIGNED_R11_EAC");
    int notGrey = 0;
    for (int y = quadStart; y < quadEnd; ++y)
        for (int x = quadStart; x < quadEnd; ++x)
            notGrey += !isGrey(next.at(x, y));
    EXPECT_EQ(notGrey, 0);

    client.click(window, 400, 400);
    EXPECT_EQ(process->waitForExit(20), 0);
    EXPECT_EQ(process->standardError(), "");
}

TEST_F(FormatCarouselRun, ShadersWithoutTheOptionalUniformsStillShowTheQuad)
{
    // No "uniformTexture" (the sampler keeps unit 0) and no "displayMode".
    TestFolder folder;
    copyAssets(folder);
    folder.write("assets/fragment_shader_source.frag",
                 "#version 300 es\n"
                 "precision mediump float;\n"
                 "uniform sampler2D picture;\n"
                 "in vec2 textureCoordinate;\n"
                 "out vec4 colour;\n"
                 "void main() { colour = texture(picture, textureCoordinate); }\n");
    start(folder.path());
    const Picture picture = firstFrame();
    ASSERT_EQ(picture.width, windowSize);
    // Shown as sampled: the R11 heights in red only.
    int notRedOnly = 0;
    std::set<int> redLevels;
    for (int y = quadStart; y < quadEnd; ++y)
        for (int x = quadStart; x < quadEnd; ++x) {
            const std::uint8_t* pixel = picture.at(x, y);
            notRedOnly += pixel[1] != 0 || pixel[2] != 0;
            redLevels.insert(pixel[0]);
        }
    EXPECT_EQ(notRedOnly, 0);
    EXPECT_GT(redLevels.size(), 100u);
    client.requestClose(window);
    EXPECT_EQ(process->waitForExit(20), 0);
    EXPECT_EQ(process->standardError(), "");
}

namespace {

struct BrokenShader {
    const char* name;
    const char* vertexShader;
    const char* standardError;
};

const BrokenShader brokenShaders[] = {
    {"NoPositionAttribute",
     "#version 300 es\n"
     "in vec2 attributeTextureCoordinate;\n"
     "uniform mat4 modelViewMatrix;\n"
     "out vec2 textureCoordinate;\n"
     "void main() {\n"
     "  textureCoordinate = attributeTextureCoordinate;\n"
     "  gl_Position = modelViewMatrix * vec4(attributeTextureCoordinate, 0.0, 1.0);\n"
     "}\n",
     "Error: Could not retrieve attribute location: attributePosition.\n"},
    {"NoTextureCoordinateAttribute",
     "#version 300 es\n"
     "in vec4 attributePosition;\n"
     "uniform mat4 modelViewMatrix;\n"
     "out vec2 textureCoordinate;\n"
     "void main() {\n"
     "  textureCoordinate = attributePosition.xy * 0.5 + 0.5;\n"
     "  gl_Position = modelViewMatrix * attributePosition;\n"
     "}\n",
     "Error: Could not retrieve attribute location: attributeTextureCoordinate.\n"},
    {"NoModelViewMatrix",
     "#version 300 es\n"
     "in vec4 attributePosition;\n"
     "in vec2 attributeTextureCoordinate;\n"
     "out vec2 textureCoordinate;\n"
     "void main() {\n"
     "  textureCoordinate = attributeTextureCoordinate;\n"
     "  gl_Position = attributePosition;\n"
     "}\n",
     "Error: Could not retrieve attribute location: modelViewMatrix.\nError: Could not prepare GL objects.\n"},
};

// Test names show the case, not the record's bytes.
void PrintTo(const BrokenShader& shader, std::ostream* out) { *out << shader.name; }

class FormatCarouselBrokenShader : public testing::TestWithParam<BrokenShader> { };

} // namespace

// A missing attribute ends the loop after the first frame, a missing matrix fails the
// set-up; either way the program says which name is missing, shuts down cleanly and ends
// with status 1.
TEST_P(FormatCarouselBrokenShader, NamesTheMissingNameAndEndsWithStatusOne)
{
    XvfbServer server;
    ASSERT_TRUE(server.ok());
    TestFolder folder;
    copyAssets(folder);
    folder.write("assets/vertex_shader_source.vert", GetParam().vertexShader);
    std::string output;
    EXPECT_EQ(runToCompletion({program, {}, folder.path(), {{"DISPLAY", server.displayName()}}, {}}, output), 1);
    EXPECT_EQ(output, GetParam().standardError);
}

INSTANTIATE_TEST_SUITE_P(Shaders, FormatCarouselBrokenShader, testing::ValuesIn(brokenShaders),
                         [](const testing::TestParamInfo<BrokenShader>& info) { return std::string(info.param.name); });

TEST(FormatCarouselAssets, PkmFileTooShortForItsFormatIsRejected)
{
    XvfbServer server;
    ASSERT_TRUE(server.ok());
    TestFolder folder;
    copyAssets(folder);
    // Header and a quarter of the payload: the upload would read past the buffer.
    const std::string file = folder.pathOf("assets/textures/compressed/HeightMapSigned.pkm");
    std::filesystem::resize_file(file, 16 + std::filesystem::file_size(file) / 4);
    std::string output;
    EXPECT_EQ(runToCompletion({program, {}, folder.path(), {{"DISPLAY", server.displayName()}}, {}}, output), 1);
    EXPECT_EQ(output.rfind("Error: ", 0), 0u) << output;
    EXPECT_NE(output.find("'assets/textures/compressed/HeightMapSigned.pkm'"), std::string::npos) << output;
}
