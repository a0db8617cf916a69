// The codec's decoder against the GL's own, bit for bit, in all eleven formats: each texture
// is drawn texel for texel (texelFetch at 1:1) into a float framebuffer and read back, so
// that the 11-bit EAC values and the sRGB decode arrive without 8-bit rounding. The blocks
// are random words, which hit every mode (with a few bits forced for the rare cases), and
// the encoder's blocks of a procedural picture.

#include "BlockLayout.h"
#include "Etc2ModeBits.h"
#include "EtcCodec.h"
#include "GlTestPrograms.h"
#include "Ktx2.h"
#include "OffscreenContext.h"

#include <GLES3/gl3.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

// 16 x 8 blocks, the last column and row only partly inside the texture.
constexpr int pictureWidth = 62;
constexpr int pictureHeight = 30;
constexpr int pictureBlocks = 16 * 8;

bool isEac(const etc::FormatInfo& info) { return info.channels <= 2; }
bool isPunchthrough(const etc::FormatInfo& info) { return info.channels == 4 && info.blockBytes == 8; }

int levelSide(int side, int level) { return std::max(1, side >> level); }

// Uploads every level (so that the texture is mipmap complete), draws texel (x, y) of `level`
// into pixel (x, y) of an RGBA32F framebuffer and returns the pixels, texel rows in stored order.
std::vector<float> drawnByGl(const etc::FormatInfo& info, const std::vector<std::vector<std::uint8_t>>& levels,
                             int width, int height, int level)
{
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, levels.size() > 1 ? GL_NEAREST_MIPMAP_NEAREST : GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(levels.size()) - 1);
    for (std::size_t l = 0; l < levels.size(); ++l)
        glCompressedTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(l), info.glInternalFormat, levelSide(width, int(l)),
                               levelSide(height, int(l)), 0, static_cast<GLsizei>(levels[l].size()), levels[l].data());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << info.glName << " upload";

    const int drawnWidth = levelSide(width, level);
    const int drawnHeight = levelSide(height, level);
    GLuint target = 0;
    glGenTextures(1, &target);
    glBindTexture(GL_TEXTURE_2D, target);
    glTexStorage2D(GL_TEXTURE_2D, 1, GL_RGBA32F, drawnWidth, drawnHeight);
    GLuint framebuffer = 0;
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, target, 0);
    EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));

    const GLuint program = texelFetchProgram();
    glUseProgram(program);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture);
    glUniform1i(glGetUniformLocation(program, "image"), 0);
    glUniform1i(glGetUniformLocation(program, "level"), level);
    glViewport(0, 0, drawnWidth, drawnHeight);
    glDisable(GL_BLEND);
    glDrawArrays(GL_TRIANGLES, 0, 3);

    std::vector<float> pixels(static_cast<std::size_t>(drawnWidth) * drawnHeight * 4);
    glReadPixels(0, 0, drawnWidth, drawnHeight, GL_RGBA, GL_FLOAT, pixels.data());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << info.glName << " draw";
    glDeleteProgram(program);
    glDeleteFramebuffers(1, &framebuffer);
    glDeleteTextures(1, &target);
    glDeleteTextures(1, &texture);
    return pixels;
}

double srgbToLinear(int byte)
{
    const double c = byte / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

// The integer a GL value stands for: an 8-bit channel, an sRGB byte after the GL's linear
// decode, or an 11-bit EAC value. Fails the test if the value lies between two of them.
class GlValues {
public:
    explicit GlValues(const etc::FormatInfo& info) : info(info)
    {
        for (int b = 0; b < 256; ++b) {
            linear[b] = srgbToLinear(b);
        }
    }

    int unorm8(float v) const { return onGrid(v * 255.0, "8-bit"); }
    int eac(float v) const { return onGrid(v * (info.isSigned ? 1023.0 : 2047.0), "11-bit"); }

    int srgb(float v) const
    {
        int nearest = 0;
        for (int b = 1; b < 256; ++b) {
            if (std::abs(linear[b] - v) < std::abs(linear[nearest] - v)) {
                nearest = b;
            }
        }
        // Nearer to this byte than halfway to the next, or it stands for no byte at all.
        const double gap = v > linear[nearest] ? (nearest < 255 ? linear[nearest + 1] - linear[nearest] : 1.0)
                                               : (nearest > 0 ? linear[nearest] - linear[nearest - 1] : 1.0);
        EXPECT_LT(std::abs(linear[nearest] - v), gap / 2) << "linear value " << v << " is no sRGB byte";

        return nearest;
    }

private:
    int onGrid(double scaled, const char* what) const
    {
        const double rounded = std::round(scaled);
        EXPECT_LT(std::abs(scaled - rounded), 0.05) << scaled << " is no " << what << " value";
        return static_cast<int>(rounded);
    }

    const etc::FormatInfo& info;
    double linear[256];
};

// Compares the decoder with the GL for one level of a texture of `width` x `height` texels;
// reports the first texels that differ.
void expectLevelDecodedAsGl(const etc::FormatInfo& info, const std::vector<std::vector<std::uint8_t>>& levels,
                            int width, int height, int level)
{
    const int levelWidth = levelSide(width, level);
    const int levelHeight = levelSide(height, level);
    const std::vector<std::uint8_t>& payload = levels[std::size_t(level)];
    ASSERT_EQ(payload.size(), etc::payloadSize(info.format, levelWidth, levelHeight));
    const etc::DecodedImage decoded = etc::decodeImage(payload.data(), info.format, levelWidth, levelHeight);
    const std::vector<float> gl = drawnByGl(info, levels, width, height, level);
    const GlValues values(info);
    int mismatches = 0;
    for (int y = 0; y < levelHeight; ++y) {
        for (int x = 0; x < levelWidth; ++x) {
            const std::size_t texel = static_cast<std::size_t>(y) * levelWidth + x;
            const float* g = &gl[texel * 4];
            std::vector<int> ours;
            std::vector<int> theirs;
            if (isEac(info)) {
                for (int c = 0; c < info.channels; ++c) {
                    ours.push_back(decoded.eac[texel * info.channels + c]);
                    theirs.push_back(values.eac(g[c]));
                }
            } else {
                for (int c = 0; c < 4; ++c) {
                    ours.push_back(decoded.rgba.rgba[texel * 4 + c]);
                    theirs.push_back(info.isSrgb && c < 3 ? values.srgb(g[c]) : values.unorm8(g[c]));
                }
            }
            if (ours != theirs && ++mismatches <= 5) {
                const int block = (y / 4) * ((levelWidth + 3) / 4) + x / 4;
                std::string text = "level " + std::to_string(level) + " texel (" + std::to_string(x) + ", " +
                    std::to_string(y) + ") of block " + std::to_string(block) + ": ours";
                for (int v : ours) {
                    text += " " + std::to_string(v);
                }
                text += ", GL";
                for (int v : theirs) {
                    text += " " + std::to_string(v);
                }
                ADD_FAILURE() << info.glName << " " << text;
            }
        }
    }
    EXPECT_EQ(mismatches, 0) << info.glName << " level " << level;
}

void expectDecodedAsGl(const etc::FormatInfo& info, const std::vector<std::uint8_t>& payload)
{
    expectLevelDecodedAsGl(info, {payload}, pictureWidth, pictureHeight, 0);
}

constexpr std::uint64_t dBit = std::uint64_t{1} << 33;

// Random colour words. In each run of eight blocks the second to fourth are forced into T, H
// and planar mode (their R dR, G dG and B dB bytes overflow in turn), which random bits reach
// too rarely; for ETC1 a differential block whose sums overflow is no ETC1 block, so it
// becomes an individual one.
std::uint64_t randomColorWord(std::mt19937_64& random, const etc::FormatInfo& info, int block)
{
    std::uint64_t word = random();
    if (info.format == etc::Format::Etc1) {
        return etc::detectEtc2Mode(word, false) == etc::Etc2Mode::Differential ? word : word & ~dBit;
    }
    constexpr std::uint64_t inRange = 0x80;        // 16 + 0
    constexpr std::uint64_t overflowingSum = 0xFB; // 31 + 3
    auto sums = [&](std::uint64_t r, std::uint64_t g, std::uint64_t b) {
        return (word & ~(std::uint64_t{0xFFFFFF} << 40)) | (r << 56) | (g << 48) | (b << 40) | dBit;
    };
    switch (block % 8) {
    case 1:
        word = sums(overflowingSum, inRange, inRange);
        break;
    case 2:
        word = sums(inRange, overflowingSum, inRange);
        break;
    case 3:
        word = sums(inRange, inRange, overflowingSum);
        break;
    default:
        return word;
    }
    // Punchthrough: the forced blocks take turns at being opaque.
    return isPunchthrough(info) && (block / 8) % 2 == 1 ? word & ~dBit : word;
}

// Random EAC words; every eighth block and the two after force a zero multiplier, a base
// of 0x80 (-128 for the signed formats) and both.
std::uint64_t randomEacWord(std::mt19937_64& random, int block)
{
    constexpr std::uint64_t multiplierBits = std::uint64_t{0xF} << 52;
    constexpr std::uint64_t baseBits = std::uint64_t{0xFF} << 56;
    constexpr std::uint64_t base80 = std::uint64_t{0x80} << 56;
    const std::uint64_t word = random();
    switch (block % 8) {
    case 0:
        return word & ~multiplierBits;
    case 1:
        return (word & ~baseBits) | base80;
    case 2:
        return (word & ~baseBits & ~multiplierBits) | base80;
    default:
        return word;
    }
}

void appendWord(std::vector<std::uint8_t>& payload, std::uint64_t word)
{
    for (int shift = 56; shift >= 0; shift -= 8) {
        payload.push_back(static_cast<std::uint8_t>(word >> shift));
    }
}

std::vector<std::uint8_t> randomPayload(const etc::FormatInfo& info)
{
    std::mt19937_64 random(0x5EED0000u + info.glInternalFormat);
    std::vector<std::uint8_t> payload;
    for (int block = 0; block < pictureBlocks; ++block) {
        if (isEac(info)) {
            for (int c = 0; c < info.channels; ++c) {
                appendWord(payload, randomEacWord(random, block + c));
            }
            continue;
        }
        if (info.blockBytes == 16) {
            appendWord(payload, randomEacWord(random, block));
        }
        appendWord(payload, randomColorWord(random, info, block));
    }
    return payload;
}

// Gradients, hard-edged discs, noise and a cut-out alpha: something of every kind of block.
etc::Image proceduralPicture()
{
    etc::Image image;
    image.width = pictureWidth;
    image.height = pictureHeight;
    std::mt19937 random(7);
    for (int y = 0; y < pictureHeight; ++y) {
        for (int x = 0; x < pictureWidth; ++x) {
            const int noise = static_cast<int>(random() % 17) - 8;
            const bool disc = (x - 20) * (x - 20) + (y - 12) * (y - 12) < 80;
            const bool checker = ((x / 3) + (y / 2)) % 2 == 0;
            auto clamp = [](int v) { return static_cast<std::uint8_t>(std::max(0, std::min(255, v))); };
            std::uint8_t rgba[4];
            if (x < 16) {
                rgba[0] = clamp(x * 16);
                rgba[1] = clamp(y * 8);
                rgba[2] = clamp(200 - x * 4 - y * 3);
            } else if (disc) {
                rgba[0] = 250;
                rgba[1] = clamp(30 + noise);
                rgba[2] = 40;
            } else if (x > 44) {
                rgba[0] = checker ? 20 : 230;
                rgba[1] = checker ? 200 : 60;
                rgba[2] = clamp(128 + noise * 4);
            } else {
                rgba[0] = clamp(90 + noise * 6);
                rgba[1] = clamp(160 + noise * 3);
                rgba[2] = clamp(x * 5 + noise);
            }
            rgba[3] = clamp((x + y) % 11 < 6 ? 255 : x * 4);
            image.rgba.insert(image.rgba.end(), rgba, rgba + 4);
        }
    }
    return image;
}

// What a colour block exercises: its mode, its flip where it has one and, for punchthrough,
// whether it is opaque.
std::string blockKind(std::uint64_t word, const etc::FormatInfo& info)
{
    static const char* const names[] = {"individual", "differential", "T", "H", "planar"};
    const etc::Etc2Mode mode = etc::detectEtc2Mode(word, isPunchthrough(info));
    std::string kind = names[static_cast<int>(mode)];
    if ((mode == etc::Etc2Mode::Individual || mode == etc::Etc2Mode::Differential) && (word >> 32 & 1) != 0) {
        kind += " flipped";
    }
    if (isPunchthrough(info) && (word & dBit) == 0) {
        kind += " transparent";
    }
    return kind;
}

class EtcDecodeGl : public ::testing::TestWithParam<etc::Format> {
protected:
    void SetUp() override { ASSERT_TRUE(context.ok()) << "no OpenGL ES 3 context"; }

    const etc::FormatInfo& info() const { return etc::formatInfo(GetParam()); }

    OffscreenContext context{pictureWidth, pictureHeight};
};

TEST_P(EtcDecodeGl, RandomBlocksOfEveryMode)
{
    const std::vector<std::uint8_t> payload = randomPayload(info());
    if (!isEac(info())) {
        // The random words must really reach every kind of block the format has.
        std::set<std::string> kinds;
        const int colorOffset = info().blockBytes == 16 ? 8 : 0;
        for (int block = 0; block < pictureBlocks; ++block) {
            kinds.insert(blockKind(etc::readBlockWord(&payload[block * info().blockBytes + colorOffset]), info()));
        }
        // ETC1: individual and differential, both flips. ETC2 adds T, H and planar.
        // Punchthrough: differential (both flips), T, H and planar, each opaque or not.
        const std::size_t expected = info().format == etc::Format::Etc1 ? 4 : isPunchthrough(info()) ? 10 : 7;
        EXPECT_EQ(kinds.size(), expected) << info().glName;
    }
    expectDecodedAsGl(info(), payload);
}

// ETC1 has no other modes to give differential blocks whose base plus delta leaves 0..31: no
// encoder makes them, but a file may hold them, and they must decode as the GL decodes them.
TEST(EtcDecodeGlEtc1, DifferentialSumsOutsideTheFiveBitRange)
{
    OffscreenContext context{pictureWidth, pictureHeight};
    ASSERT_TRUE(context.ok()) << "no OpenGL ES 3 context";
    std::mt19937_64 random(0xD1FF);
    std::vector<std::uint8_t> payload;
    for (int block = 0; block < pictureBlocks; ++block) {
        // Each channel gets a base near an end of the range and a delta towards that end.
        std::uint64_t word = (random() & ~(std::uint64_t{0xFFFFFF} << 40)) | dBit;
        for (int channel = 0; channel < 3; ++channel) {
            const bool low = (random() & 1) != 0;
            const std::uint64_t base = low ? random() % 4 : 28 + random() % 4;
            const std::uint64_t delta = low ? 4 + random() % 4 : random() % 4; // -4..-1 or 0..3
            word |= (base << 3 | delta) << (56 - 8 * channel);
        }
        appendWord(payload, word);
    }
    expectDecodedAsGl(etc::formatInfo(etc::Format::Etc1), payload);
}

// Each effort reaches modes and corner cases of its own (clamped palettes, far differential
// steps, planar extremes): the GL must decode every effort's blocks as our decoder does.
TEST_P(EtcDecodeGl, EncodedPictureAtEveryEffort)
{
    for (const auto& [effort, name] : etc::allEfforts()) {
        SCOPED_TRACE(name);
        etc::EncodeOptions options;
        options.effort = effort;
        expectDecodedAsGl(info(), etc::encodeImage(proceduralPicture(), info().format, options));
    }
}

// Every `1 << level`-th texel of every `1 << level`-th row: a smaller picture of each level's size.
etc::Image sampledPicture(const etc::Image& picture, int level)
{
    etc::Image smaller;
    smaller.width = levelSide(picture.width, level);
    smaller.height = levelSide(picture.height, level);
    for (int y = 0; y < smaller.height; ++y)
        for (int x = 0; x < smaller.width; ++x) {
            const std::uint8_t* texel = &picture.rgba[(std::size_t(y << level) * picture.width + (x << level)) * 4];
            smaller.rgba.insert(smaller.rgba.end(), texel, texel + 4);
        }
    return smaller;
}

// A KTX2 file of the whole chain, read back and every level uploaded at its own level: the GL
// must show each one as our decoder does.
TEST_P(EtcDecodeGl, EveryLevelOfAKtx2File)
{
    const etc::Image picture = proceduralPicture();
    etc::Ktx2File written{info().format, pictureWidth, pictureHeight, {}};
    for (int level = 0; level < etc::ktx2FullLevelCount(pictureWidth, pictureHeight); ++level)
        written.levels.push_back(etc::encodeImage(sampledPicture(picture, level), info().format));
    etc::Ktx2File read;
    std::string error;
    ASSERT_TRUE(etc::parseKtx2(etc::serializeKtx2(written, "test"), read, error)) << error;
    ASSERT_EQ(read.format, info().format);
    ASSERT_EQ(read.levels.size(), 6u) << "62 x 30 down to 1 x 1";
    for (int level = 0; level < 6; ++level)
        expectLevelDecodedAsGl(info(), read.levels, read.width, read.height, level);
}

INSTANTIATE_TEST_SUITE_P(AllFormats, EtcDecodeGl,
                         ::testing::Values(etc::Format::Etc1, etc::Format::R11, etc::Format::SignedR11,
                                           etc::Format::Rg11, etc::Format::SignedRg11, etc::Format::Rgb8,
                                           etc::Format::Srgb8, etc::Format::Rgba8, etc::Format::Srgb8Alpha8,
                                           etc::Format::Rgb8Punchthrough, etc::Format::Srgb8Punchthrough),
                         [](const ::testing::TestParamInfo<etc::Format>& param) {
                             std::string name = etc::formatInfo(param.param).toolName;
                             for (char& c : name) {
                                 c = c == '-' ? '_' : c;
                             }
                             return name;
                         });

} // namespace
