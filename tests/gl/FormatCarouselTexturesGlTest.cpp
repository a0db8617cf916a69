// The carousel's textures as the program uploads them, drawn 1:1 with nearest filtering and
// read back, against the project's own CPU decode of the same PKM files; and the program's
// shaders showing the EAC data.

#include "CarouselTextures.h"
#include "DisplayMode.h"
#include "GlTestPrograms.h"
#include "ImageTable.h"
#include "OffscreenContext.h"
#include "Shader.h"
#include "TestProcess.h"

#include "EtcCodec.h"
#include "Pkm.h"
#include "PkmIo.h"

#include <GLES3/gl31.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <unistd.h>
#include <vector>

using namespace FormatCarousel;

namespace {

// The program finds its assets relative to the working directory, as it does when started
// from its build folder.
class WorkingDirectory {
public:
    explicit WorkingDirectory(const std::string& path)
    {
        char* current = getcwd(nullptr, 0);
        previous = current;
        free(current);
        entered = chdir(path.c_str()) == 0;
    }
    ~WorkingDirectory()
    {
        if (entered) {
            EXPECT_EQ(chdir(previous.c_str()), 0);
        }
    }
    bool ok() const { return entered; }

private:
    std::string previous;
    bool entered = false;
};

const etc::FormatInfo* codecFormatOf(GLenum internalFormat)
{
    for (const etc::FormatInfo& info : etc::allFormats())
        if (info.glInternalFormat == internalFormat)
            return &info;
    return nullptr;
}

// One triangle over the whole viewport; each pixel samples the texel under its centre.
GLuint texelCopyProgram()
{
    return fullViewportProgram(
        "#version 300 es\n"
        "precision highp float;\n"
        "uniform highp sampler2D image;\n"
        "out vec4 texel;\n"
        "void main() { texel = texture(image, gl_FragCoord.xy / vec2(textureSize(image, 0))); }\n");
}

class Framebuffer {
public:
    Framebuffer(GLenum internalFormat, int width, int height)
    {
        glGenRenderbuffers(1, &colour);
        glBindRenderbuffer(GL_RENDERBUFFER, colour);
        glRenderbufferStorage(GL_RENDERBUFFER, internalFormat, width, height);
        glGenFramebuffers(1, &framebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
        glViewport(0, 0, width, height);
    }
    ~Framebuffer()
    {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteFramebuffers(1, &framebuffer);
        glDeleteRenderbuffers(1, &colour);
    }
    bool complete() const { return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE; }

private:
    GLuint colour = 0;
    GLuint framebuffer = 0;
};

float srgbToLinear(float value)
{
    return value <= 0.04045f ? value / 12.92f : std::pow((value + 0.055f) / 1.055f, 2.4f);
}

// What one channel of one texel should read back as, and how far off it may be.
struct ExpectedChannel {
    float value;
    float tolerance;
};

// The GL samples EAC data as 11-bit values over 2047 (unsigned) or 1023 (signed), missing
// channels as 0 and alpha as 1; ETC2 colour exactly as its 8-bit decode, the sRGB formats
// after the GL's conversion to linear (within one 8-bit step).
ExpectedChannel expectedChannel(const etc::FormatInfo& format, const etc::DecodedImage& decoded, size_t texel,
                                int channel)
{
    constexpr float exact = 0.25f / 2047.0f;
    if (decoded.channels > 0) {
        if (channel < decoded.channels) {
            const float scale = format.isSigned ? 1023.0f : 2047.0f;
            return {decoded.eac[texel * decoded.channels + channel] / scale, exact};
        }
        return {channel == 3 ? 1.0f : 0.0f, exact};
    }
    const float byte = decoded.rgba.rgba[texel * 4 + channel] / 255.0f;
    if (format.isSrgb && channel < 3)
        return {srgbToLinear(byte), 1.0f / 255.0f};
    return {byte, exact};
}

class FormatCarouselTextures : public testing::TestWithParam<unsigned> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(context.ok());
        ASSERT_TRUE(inProgramFolder.ok()) << "the program's build folder is missing";
        entry = &imageArray[GetParam()];
        format = codecFormatOf(entry->internalFormat);
        ASSERT_NE(format, nullptr);

        etc::PkmFile file;
        std::string error;
        ASSERT_TRUE(imageio::readPkm(entry->fileName, file, error)) << error;
        width = file.width;
        height = file.height;
        decoded = etc::decodeImage(file.payload.data(), format->format, width, height);

        // The program's own upload, then what a 1:1 view needs.
        ASSERT_TRUE(initializeTexture(GetParam()));
        ASSERT_NE(entry->textureId, 0u);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    }

    OffscreenContext context{16, 16};
    WorkingDirectory inProgramFolder{buildPath("samples/OpenGL-ES-3.0/linux/FormatCarousel")};
    const ImageEntry* entry = nullptr;
    const etc::FormatInfo* format = nullptr;
    int width = 0;
    int height = 0;
    etc::DecodedImage decoded;
};

std::string nameOfEntry(const testing::TestParamInfo<unsigned>& info)
{
    return std::string(imageArray[info.param].formatName).substr(3);
}

} // namespace

TEST_P(FormatCarouselTextures, UploadedTextureReadsBackAsTheCpuDecodeOfItsFile)
{
    // Level 0 has the image's own size (not the padded one) and the entry's format.
    GLint levelWidth = 0, levelHeight = 0, levelFormat = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &levelWidth);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &levelHeight);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &levelFormat);
    EXPECT_EQ(levelWidth, width);
    EXPECT_EQ(levelHeight, height);
    EXPECT_EQ(static_cast<GLenum>(levelFormat), entry->internalFormat);
    // Float colour, so the EAC formats' 11 bits come back whole.
    Framebuffer framebuffer(GL_RGBA32F, width, height);
    ASSERT_TRUE(framebuffer.complete());
    const GLuint program = texelCopyProgram();
    glUseProgram(program);
    glUniform1i(glGetUniformLocation(program, "image"), 0);
    glDisable(GL_BLEND);
    glDrawArrays(GL_TRIANGLES, 0, 3);
    std::vector<float> pixels(static_cast<size_t>(width) * height * 4);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_FLOAT, pixels.data());
    ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    // Framebuffer row y holds texture row y, the file's row y.
    int wrong = 0;
    std::string first;
    for (size_t texel = 0; texel < pixels.size() / 4; ++texel)
        for (int channel = 0; channel < 4; ++channel) {
            const ExpectedChannel expected = expectedChannel(*format, decoded, texel, channel);
            const float actual = pixels[texel * 4 + channel];
            if (std::fabs(actual - expected.value) > expected.tolerance && wrong++ == 0)
                first = "texel (" + std::to_string(texel % width) + ", " + std::to_string(texel / width) +
                    ") channel " + std::to_string(channel) + ": " + std::to_string(actual) + " against " +
                    std::to_string(expected.value);
        }
    EXPECT_EQ(wrong, 0) << "first: " << first;
    glDeleteProgram(program);
}

INSTANTIATE_TEST_SUITE_P(EveryFormat, FormatCarouselTextures, testing::Range(0u, imageCount), nameOfEntry);

namespace {

// What the program's fragment shader should make of an EAC texel, as 0..1 RGB.
std::array<float, 3> expectedDisplayColour(const etc::FormatInfo& format, const etc::DecodedImage& decoded,
                                           size_t texel)
{
    const float scale = format.isSigned ? 1023.0f : 2047.0f;
    auto value = [&](int channel) { return decoded.eac[texel * decoded.channels + channel] / scale; };
    auto visible = [](float signedValue) { return signedValue * 0.5f + 0.5f; };
    if (decoded.channels == 1) {
        const float grey = format.isSigned ? visible(value(0)) : value(0);
        return {grey, grey, grey};
    }
    // A bump map's X and Y, unsigned ones standing for -1..1, with the Z of a unit normal.
    const float x = format.isSigned ? value(0) : value(0) * 2.0f - 1.0f;
    const float y = format.isSigned ? value(1) : value(1) * 2.0f - 1.0f;
    const float z = std::sqrt(std::max(0.0f, 1.0f - x * x - y * y));
    return {visible(x), visible(y), visible(z)};
}

// The program's own shader pair from its assets, over the whole viewport, with the
// program's texture coordinates (t = 0 at the top).
GLuint programShaders()
{
    GLuint vertexShader = 0;
    GLuint fragmentShader = 0;
    KorvoSDK::Shader::compileFromFile(&vertexShader, vertexShaderPath.c_str(), GL_VERTEX_SHADER);
    KorvoSDK::Shader::compileFromFile(&fragmentShader, fragmentShaderPath.c_str(), GL_FRAGMENT_SHADER);
    return linkTestProgram(vertexShader, fragmentShader);
}

void drawWholeViewportQuad(GLuint program)
{
    static const GLfloat positions[] = {-1, -1, 0, 1, -1, 0, -1, 1, 0, 1, 1, 0};
    static const GLfloat textureCoordinates[] = {0, 1, 1, 1, 0, 0, 1, 0};
    static const GLfloat identity[] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    glUniformMatrix4fv(glGetUniformLocation(program, "modelViewMatrix"), 1, GL_FALSE, identity);
    const GLint position = glGetAttribLocation(program, "attributePosition");
    const GLint textureCoordinate = glGetAttribLocation(program, "attributeTextureCoordinate");
    ASSERT_NE(position, -1);
    ASSERT_NE(textureCoordinate, -1);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glEnableVertexAttribArray(position);
    glVertexAttribPointer(position, 3, GL_FLOAT, GL_FALSE, 0, positions);
    glEnableVertexAttribArray(textureCoordinate);
    glVertexAttribPointer(textureCoordinate, 2, GL_FLOAT, GL_FALSE, 0, textureCoordinates);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
}

using FormatCarouselDisplay = FormatCarouselTextures;

} // namespace

TEST_P(FormatCarouselDisplay, ProgramShadersShowTheEacDataInTheVisibleRange)
{
    Framebuffer framebuffer(GL_RGBA8, width, height);
    ASSERT_TRUE(framebuffer.complete());
    const GLuint program = programShaders();
    glUseProgram(program);
    glUniform1i(glGetUniformLocation(program, "uniformTexture"), 0);
    glUniform1i(glGetUniformLocation(program, "displayMode"), displayModeFor(entry->internalFormat));
    glDisable(GL_BLEND);
    drawWholeViewportQuad(program);
    std::vector<std::uint8_t> pixels(static_cast<size_t>(width) * height * 4);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    int wrong = 0;
    std::string first;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            // The framebuffer's bottom row shows the file's last row.
            const size_t pixel = (static_cast<size_t>(height - 1 - y) * width + x) * 4;
            const std::array<float, 3> expected =
                expectedDisplayColour(*format, decoded, static_cast<size_t>(y) * width + x);
            for (int channel = 0; channel < 4; ++channel) {
                const float want = channel < 3 ? expected[channel] * 255.0f : 255.0f;
                if (std::fabs(pixels[pixel + channel] - want) > 1.0f && wrong++ == 0)
                    first = "texel (" + std::to_string(x) + ", " + std::to_string(y) + ") channel " +
                        std::to_string(channel) + ": " + std::to_string(pixels[pixel + channel]) + " against " +
                        std::to_string(want);
            }
        }
    EXPECT_EQ(wrong, 0) << "first: " << first;
    glDeleteProgram(program);
}

// The four EAC formats: rows 0 to 3.
INSTANTIATE_TEST_SUITE_P(EacFormats, FormatCarouselDisplay, testing::Range(0u, 4u), nameOfEntry);

TEST(FormatCarouselTextureSetUp, IndexOutsideTheTableIsRefused)
{
    OffscreenContext context(16, 16);
    ASSERT_TRUE(context.ok());
    testing::internal::CaptureStderr();
    EXPECT_FALSE(initializeTexture(imageCount));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error: Incorrect value of index of imageArray.\n");
    GLint bound = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, 0) << "no texture was made";
}
