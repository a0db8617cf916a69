#include "EtcCodec.h"
#include "BlockLayout.h"
#include "Etc2ModeBits.h"
#include "ImageQuality.h"
#include "Pkm.h"
#include "PkmIo.h"
#include "PngIo.h"
#include "TestFolder.h"
#include "TestPictures.h"
#include "TestProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using etc::Format;

etc::DecodedImage roundTrip(const etc::Image& image, Format format, etc::Effort effort = etc::Effort::Default)
{
    etc::EncodeOptions options;
    options.effort = effort;
    const std::vector<std::uint8_t> payload = etc::encodeImage(image, format, options);
    EXPECT_EQ(payload.size(), etc::payloadSize(format, image.width, image.height));
    return etc::decodeImage(payload.data(), format, image.width, image.height);
}

TEST(EtcCodec, PayloadIsWholeBlocks)
{
    EXPECT_EQ(etc::payloadSize(Format::Etc1, 64, 64), 2048u);
    EXPECT_EQ(etc::payloadSize(Format::Rgba8, 64, 64), 4096u);
    EXPECT_EQ(etc::payloadSize(Format::Rgb8, 6, 6), 32u);
    EXPECT_EQ(etc::payloadSize(Format::SignedRg11, 5, 1), 32u);
    EXPECT_EQ(etc::payloadSize(Format::R11, 1, 1), 8u);
    EXPECT_EQ(etc::payloadSize(Format::R11, 0, 4), 0u);
}

// Floors a sound encoder clears on these pictures at the default effort and above; a mode that
// stopped working costs several decibels.
struct Floor {
    Format format;
    etc::Image (*picture)(int, int);
    double channels;
    double alpha;
    double elevenBit = 0; // EAC: the channels at 11 bits
};

class EtcCodecQuality : public ::testing::TestWithParam<Floor> { };

TEST_P(EtcCodecQuality, KeepsItsFloor)
{
    const Floor& floor = GetParam();
    const etc::Image image = floor.picture(64, 48);
    // Every effort from the default up encodes every format and keeps the floor.
    for (etc::Effort effort : {etc::Effort::Default, etc::Effort::Best, etc::Effort::Exhaustive}) {
        const etc::FormatQuality q = etc::measureQuality(image, roundTrip(image, floor.format, effort), floor.format);
        EXPECT_GE(q.channelsPsnr, floor.channels) << etc::effortName(effort);
        if (q.hasAlpha) {
            EXPECT_GE(q.alphaPsnr, floor.alpha) << etc::effortName(effort);
        }
        if (q.hasAlphaClasses) {
            EXPECT_EQ(q.alphaMismatches, 0) << etc::effortName(effort);
        }
        EXPECT_EQ(q.hasElevenBit, floor.elevenBit > 0);
        if (q.hasElevenBit) {
            EXPECT_GE(q.elevenBitPsnr, floor.elevenBit) << etc::effortName(effort);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, EtcCodecQuality,
                         ::testing::Values(Floor{Format::Etc1, codectest::colourPicture, 20.0, 0},
                                           Floor{Format::Rgb8, codectest::colourPicture, 35.0, 0},
                                           Floor{Format::Srgb8, codectest::colourPicture, 35.0, 0},
                                           Floor{Format::Rgba8, codectest::translucentPicture, 35.0, 43.0},
                                           Floor{Format::Srgb8Alpha8, codectest::translucentPicture, 35.0, 43.0},
                                           Floor{Format::Rgb8Punchthrough, codectest::cutoutPicture, 34.0, 0},
                                           Floor{Format::Srgb8Punchthrough, codectest::cutoutPicture, 34.0, 0},
                                           Floor{Format::R11, codectest::heightPicture, 44.0, 0, 45.6},
                                           Floor{Format::SignedR11, codectest::heightPicture, 44.0, 0, 45.6},
                                           Floor{Format::Rg11, codectest::normalPicture, 45.0, 0, 46.6},
                                           Floor{Format::SignedRg11, codectest::normalPicture, 45.0, 0, 46.6}),
                         [](const ::testing::TestParamInfo<Floor>& info) {
                             std::string name = etc::formatInfo(info.param.format).toolName;
                             for (char& c : name) {
                                 c = c == '-' ? '_' : c;
                             }
                             return name;
                         });

TEST(EtcCodec, FastEffortKeepsItsFloors)
{
    // The fast encoders of the colour blocks stay close to the default search on these
    // pictures; losing a mode (the plane, T and H, a flip) costs far more than the margin.
    const Floor floors[] = {{Format::Etc1, codectest::colourPicture, 20.5, 0},
                            {Format::Rgb8, codectest::colourPicture, 35.5, 0},
                            {Format::Rgba8, codectest::translucentPicture, 35.5, 43.0}};
    for (const Floor& floor : floors) {
        const etc::Image image = floor.picture(64, 48);
        const etc::FormatQuality q =
            etc::measureQuality(image, roundTrip(image, floor.format, etc::Effort::Fast), floor.format);
        EXPECT_GE(q.channelsPsnr, floor.channels) << etc::formatInfo(floor.format).toolName;
        if (q.hasAlpha) {
            EXPECT_GE(q.alphaPsnr, floor.alpha);
        }
    }
}

TEST(EtcCodec, Etc2ModesBeatEtc1OnSharpColourPatterns)
{
    const etc::Image image = codectest::colourPicture(64, 48);
    const double etc1 = etc::psnr(image, roundTrip(image, Format::Etc1).rgba, etc::rgbChannels);
    const double etc2 = etc::psnr(image, roundTrip(image, Format::Rgb8).rgba, etc::rgbChannels);
    EXPECT_GT(etc2, etc1 + 8.0);
}

TEST(EtcCodec, SrgbFormatsStoreTheLinearFormatsBytes)
{
    const etc::Image image = codectest::translucentPicture(24, 16);
    EXPECT_EQ(etc::encodeImage(image, Format::Srgb8), etc::encodeImage(image, Format::Rgb8));
    EXPECT_EQ(etc::encodeImage(image, Format::Srgb8Alpha8), etc::encodeImage(image, Format::Rgba8));
    EXPECT_EQ(etc::encodeImage(image, Format::Srgb8Punchthrough), etc::encodeImage(image, Format::Rgb8Punchthrough));
}

TEST(EtcCodec, HigherEffortIsNoWorse)
{
    const etc::Image image = codectest::colourPicture(32, 32);
    for (Format format : {Format::Etc1, Format::Rgb8}) {
        const double fast = etc::psnr(image, roundTrip(image, format, etc::Effort::Fast).rgba, etc::rgbChannels);
        const double standard = etc::psnr(image, roundTrip(image, format, etc::Effort::Default).rgba, etc::rgbChannels);
        const double best = etc::psnr(image, roundTrip(image, format, etc::Effort::Best).rgba, etc::rgbChannels);
        const double exhaustive =
            etc::psnr(image, roundTrip(image, format, etc::Effort::Exhaustive).rgba, etc::rgbChannels);
        EXPECT_GE(standard, fast - 0.05) << etc::formatInfo(format).toolName;
        EXPECT_GE(best, standard - 0.05) << etc::formatInfo(format).toolName;
        EXPECT_GE(exhaustive, best - 0.05) << etc::formatInfo(format).toolName;
    }
}

// Floors of the two strongest efforts, which search the base colours of the subblock modes
// and the T and H colours on the exact error: the refits alone stay below them (by 0.03 to
// 0.25 dB on these pictures).
TEST(EtcCodec, StrongEffortsKeepTheirFloors)
{
    struct StrongFloor {
        Format format;
        etc::Image (*picture)(int, int);
        double best;
        double exhaustive;
    };
    const StrongFloor floors[] = {{Format::Etc1, codectest::heightPicture, 40.75, 40.81},
                                  {Format::Etc1, codectest::colourPicture, 20.965, 20.972},
                                  {Format::Rgb8, codectest::colourPicture, 36.72, 36.79},
                                  {Format::Rgb8Punchthrough, codectest::cutoutPicture, 35.99, 36.005}};
    for (const StrongFloor& floor : floors) {
        const etc::Image image = floor.picture(64, 48);
        const auto quality = [&](etc::Effort effort) {
            return etc::measureQuality(image, roundTrip(image, floor.format, effort), floor.format).channelsPsnr;
        };
        EXPECT_GE(quality(etc::Effort::Best), floor.best) << etc::formatInfo(floor.format).toolName;
        EXPECT_GE(quality(etc::Effort::Exhaustive), floor.exhaustive) << etc::formatInfo(floor.format).toolName;
    }
}

TEST(EtcCodec, HigherEacEffortIsNoWorseAtElevenBits)
{
    const etc::Image image = codectest::normalPicture(32, 32);
    for (Format format : {Format::R11, Format::SignedRg11}) {
        double previous = 0;
        for (const auto& [effort, name] : etc::allEfforts()) {
            const double q = etc::measureQuality(image, roundTrip(image, format, effort), format).elevenBitPsnr;
            EXPECT_GE(q, previous - 0.05) << etc::formatInfo(format).toolName << " at " << name;
            previous = q;
        }
    }
}

TEST(EtcCodec, SixteenBitChannelsReachTheElevenBitEncoder)
{
    // Two 16-bit pictures with the same bytes: one flat at 100.4 bytes' worth, one at 99.6.
    // The 11-bit values must follow the 16-bit samples, not the byte (100) they share.
    for (const double level : {100.4, 99.6}) {
        etc::Image image(4, 4, std::vector<std::uint8_t>(64, 100));
        const auto sample = static_cast<std::uint16_t>(std::lround(level * 257.0));
        image.rgba16.assign(64, sample);
        const etc::DecodedImage decoded = roundTrip(image, Format::R11);
        for (std::int16_t v : decoded.eac) {
            EXPECT_NEAR(v, sample * 2047.0 / 65535.0, 1.0) << level;
        }
    }
}

TEST(EtcCodec, PartialBlocksRepeatTheEdgeTexels)
{
    // 13 x 7: the last block column holds one texel column, the last row three rows. The
    // texels past the edge repeat the last column and row, so the blocks are those of the
    // 16 x 8 picture padded that way.
    const etc::Image image = codectest::colourPicture(13, 7);
    etc::Image padded;
    padded.width = 16;
    padded.height = 8;
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 16; ++x) {
            const std::uint8_t* t = &image.rgba[(std::min(y, 6) * 13 + std::min(x, 12)) * 4];
            padded.rgba.insert(padded.rgba.end(), t, t + 4);
        }
    }
    for (const etc::FormatInfo& info : etc::allFormats()) {
        const std::vector<std::uint8_t> payload = etc::encodeImage(image, info.format);
        EXPECT_EQ(payload, etc::encodeImage(padded, info.format)) << info.toolName;
        const etc::DecodedImage decoded = etc::decodeImage(payload.data(), info.format, 13, 7);
        EXPECT_EQ(decoded.rgba.width, 13);
        EXPECT_EQ(decoded.rgba.height, 7);
        EXPECT_EQ(decoded.rgba.rgba.size(), 13u * 7 * 4);
    }
}

TEST(EtcCodec, EacDecodeGivesElevenBitValuesAndAPicture)
{
    etc::Image image = codectest::normalPicture(8, 4);
    for (Format format : {Format::R11, Format::SignedRg11}) {
        const etc::DecodedImage decoded = roundTrip(image, format);
        const int channels = etc::formatInfo(format).channels;
        ASSERT_EQ(decoded.channels, channels);
        ASSERT_EQ(decoded.eac.size(), 8u * 4 * channels);
        for (std::size_t i = 0; i < 32; ++i) {
            const std::uint8_t* t = &decoded.rgba.rgba[i * 4];
            EXPECT_EQ(t[2], 0);
            EXPECT_EQ(t[3], 255);
            if (channels == 1) {
                EXPECT_EQ(t[1], 0);
                EXPECT_GE(decoded.eac[i], 0);
                EXPECT_LE(decoded.eac[i], 2047);
                // The picture's byte is the 11-bit value scaled back.
                EXPECT_EQ(t[0], (decoded.eac[i] * 255 + 1023) / 2047);
            } else {
                EXPECT_GE(decoded.eac[i * 2 + 1], -1023);
                EXPECT_LE(decoded.eac[i * 2 + 1], 1023);
            }
        }
    }
}

TEST(EtcCodec, ElevenBitValuesSitNearTheExactTarget)
{
    // A flat channel of 100 stands for 100 * 2047 / 255 = 802.75; the encoder should land
    // on 802 or 803, not merely on some value that rounds back to 100.
    etc::Image image;
    image.width = 4;
    image.height = 4;
    image.rgba.assign(64, 100);
    const etc::DecodedImage decoded = roundTrip(image, Format::R11);
    for (std::int16_t v : decoded.eac) {
        EXPECT_NEAR(v, 802.75, 1.0);
    }
}

TEST(EtcCodec, ProgressReportsEveryBlockRow)
{
    const etc::Image image = codectest::colourPicture(8, 10); // 3 block rows
    std::vector<std::pair<int, int>> calls;
    etc::EncodeOptions options;
    options.progress = [&](int done, int total) { calls.emplace_back(done, total); };
    etc::encodeImage(image, Format::Etc1, options);
    const std::vector<std::pair<int, int>> expected = {{1, 3}, {2, 3}, {3, 3}};
    EXPECT_EQ(calls, expected);
}

TEST(EtcCodec, ThreadCountDoesNotChangeTheBytes)
{
    // Odd sizes, so that threads meet partial blocks; 26 block rows, claimed 6 at a time, so
    // that three threads share five claims and eight outnumber them.
    const etc::Image image = codectest::colourPicture(37, 103);
    for (const auto& [effort, effortName] : etc::allEfforts()) {
        for (const etc::FormatInfo& info : etc::allFormats()) {
            etc::EncodeOptions options;
            options.effort = effort;
            const std::vector<std::uint8_t> alone = etc::encodeImage(image, info.format, options);
            for (int threads : {3, 8}) {
                options.threads = threads;
                EXPECT_EQ(etc::encodeImage(image, info.format, options), alone)
                    << info.toolName << " at " << effortName << " on " << threads << " threads";
            }
        }
    }
}

TEST(EtcCodec, ProgressUnderThreadsRisesToTheEnd)
{
    const etc::Image image = codectest::colourPicture(16, 512); // 128 block rows, claimed 16 at a time
    std::vector<int> done;
    etc::EncodeOptions options;
    options.threads = 4;
    options.progress = [&](int rows, int total) {
        EXPECT_EQ(total, 128);
        done.push_back(rows);
    };
    etc::encodeImage(image, Format::Etc1, options);
    ASSERT_FALSE(done.empty());
    EXPECT_TRUE(std::is_sorted(done.begin(), done.end()));
    EXPECT_EQ(std::adjacent_find(done.begin(), done.end()), done.end()) << "a count reported twice";
    EXPECT_EQ(done.back(), 128);
}

// Debian's etc1tool (Android's reference ETC1 codec) as a second ETC1 decoder.
namespace etc1tool {

const char* const toolPath = "/usr/bin/etc1tool";

bool present() { return ::access(toolPath, X_OK) == 0; }

// Decodes a PKM file to PNG with etc1tool and reads the picture back.
etc::Image decode(const TestFolder& folder, const std::string& pkm)
{
    const std::string png = pkm + ".png";
    std::string errors;
    const int status = runToCompletion({toolPath, {pkm, "--decode", "-o", png}, folder.path(), {}, {}}, errors);
    EXPECT_EQ(status, 0) << errors;
    etc::Image image;
    std::string error;
    EXPECT_TRUE(imageio::readPng(png, image, error)) << error;
    return image;
}

void expectSameRgb(const etc::Image& theirs, const etc::DecodedImage& ours)
{
    ASSERT_EQ(theirs.width, ours.rgba.width);
    ASSERT_EQ(theirs.height, ours.rgba.height);
    int mismatches = 0;
    for (std::size_t i = 0; i < theirs.rgba.size(); i += 4) {
        for (int c = 0; c < 3; ++c) {
            mismatches += theirs.rgba[i + c] != ours.rgba.rgba[i + c] ? 1 : 0;
        }
    }
    EXPECT_EQ(mismatches, 0);
}

} // namespace etc1tool

TEST(EtcCodec, Etc1DecodesAsEtc1toolDecodes)
{
    if (!etc1tool::present()) {
        GTEST_SKIP() << "etc1tool is not installed";
    }
    const TestFolder folder;
    // Encoded blocks of an odd-sized picture, and random blocks of both modes and flips
    // (differential ones only where their sums stay in range, as ETC1 requires).
    std::vector<etc::PkmFile> files(2);
    files[0].format = etc::Format::Etc1;
    files[0].width = 37;
    files[0].height = 21;
    files[0].payload = etc::encodeImage(codectest::colourPicture(37, 21), etc::Format::Etc1);
    files[1].format = etc::Format::Etc1;
    files[1].width = 64;
    files[1].height = 64;
    std::mt19937_64 random(12);
    for (int block = 0; block < 256; ++block) {
        std::uint64_t word = random();
        if (etc::detectEtc2Mode(word, false) != etc::Etc2Mode::Differential) {
            word &= ~(std::uint64_t{1} << 33);
        }
        files[1].payload.resize(files[1].payload.size() + 8);
        etc::writeBlockWord(word, &files[1].payload[files[1].payload.size() - 8]);
    }
    for (std::size_t k = 0; k < files.size(); ++k) {
        const std::string pkm = folder.pathOf("ours" + std::to_string(k) + ".pkm");
        std::string error;
        ASSERT_TRUE(imageio::writePkm(pkm, files[k], error)) << error;
        etc1tool::expectSameRgb(
            etc1tool::decode(folder, pkm),
            etc::decodeImage(files[k].payload.data(), etc::Format::Etc1, files[k].width, files[k].height));
    }
}

TEST(EtcCodec, ReadsEtc1toolsPkmFiles)
{
    if (!etc1tool::present()) {
        GTEST_SKIP() << "etc1tool is not installed";
    }
    const TestFolder folder;
    const std::string png = folder.pathOf("picture.png");
    const std::string pkm = folder.pathOf("picture.pkm");
    std::string error;
    ASSERT_TRUE(imageio::writePng(png, codectest::colourPicture(30, 18), error)) << error;
    std::string errors;
    ASSERT_EQ(runToCompletion({etc1tool::toolPath, {png, "--encode", "-o", pkm}, folder.path(), {}, {}}, errors), 0)
        << errors;
    etc::PkmFile file;
    ASSERT_TRUE(imageio::readPkm(pkm, file, error)) << error;
    EXPECT_EQ(file.format, etc::Format::Etc1);
    EXPECT_EQ(file.width, 30);
    EXPECT_EQ(file.height, 18);
    etc1tool::expectSameRgb(etc1tool::decode(folder, pkm),
                            etc::decodeImage(file.payload.data(), file.format, file.width, file.height));
}

} // namespace
