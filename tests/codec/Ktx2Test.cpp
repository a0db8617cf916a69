// The KTX2 container: the bytes written, checked against the container's layout worked out by
// hand, and the reader's refusal of every kind of damaged or hostile file.

#include "Ktx2.h"
#include "EtcCodec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <iterator>
#include <limits>
#include <string>

namespace {

etc::Ktx2File sampleTexture(etc::Format format, int width, int height, std::size_t levelCount)
{
    etc::Ktx2File file{format, width, height, {}};
    for (std::size_t level = 0; level < levelCount; ++level) {
        const int w = std::max(1, width >> level);
        const int h = std::max(1, height >> level);
        std::vector<std::uint8_t> payload(etc::payloadSize(format, w, h));
        for (std::size_t i = 0; i < payload.size(); ++i)
            payload[i] = static_cast<std::uint8_t>(i * 13 + level * 101 + 5);
        file.levels.push_back(payload);
    }
    return file;
}

std::uint32_t word(const std::vector<std::uint8_t>& bytes, std::size_t offset)
{
    return std::uint32_t(bytes[offset]) | std::uint32_t(bytes[offset + 1]) << 8 |
        std::uint32_t(bytes[offset + 2]) << 16 | std::uint32_t(bytes[offset + 3]) << 24;
}

std::uint64_t doubleWord(const std::vector<std::uint8_t>& bytes, std::size_t offset)
{
    return word(bytes, offset) | std::uint64_t(word(bytes, offset + 4)) << 32;
}

void putWord(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[offset + std::size_t(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

void putDoubleWord(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint64_t value)
{
    putWord(bytes, offset, static_cast<std::uint32_t>(value));
    putWord(bytes, offset + 4, static_cast<std::uint32_t>(value >> 32));
}

std::string text(const std::vector<std::uint8_t>& bytes, std::size_t offset, std::size_t length)
{
    return std::string(bytes.begin() + std::ptrdiff_t(offset), bytes.begin() + std::ptrdiff_t(offset + length));
}

// Offsets of the fixed fields (identifier, header words, index).
constexpr std::size_t vkFormatField = 12, typeSizeField = 16, widthField = 20, heightField = 24, depthField = 28,
                      layersField = 32, facesField = 36, levelCountField = 40, schemeField = 44, dfdOffsetField = 48,
                      dfdLengthField = 52, kvdOffsetField = 56, kvdLengthField = 60, sgdLengthField = 72,
                      levelIndexField = 80;

} // namespace

// RGBA8, 9 x 7, two levels, worked out by hand: 80 fixed bytes, 2 x 24 of level index, the
// descriptor at 128 (4 + 24 + 2 x 16 = 60 bytes), the key/value data at 188 (KTXorientation
// "rd": 4 + 18 + 2 padding; KTXwriter "w": 4 + 12), level 1 (one 16-byte block) at the next
// multiple of 16 after 228, level 0 (3 x 2 blocks) after it.
TEST(Ktx2, LayoutOfATwoLevelRgba8File)
{
    const etc::Ktx2File texture = sampleTexture(etc::Format::Rgba8, 9, 7, 2);
    const std::vector<std::uint8_t> bytes = etc::serializeKtx2(texture, "w");
    const std::uint8_t identifier[12] = {0xAB, 0x4B, 0x54, 0x58, 0x20, 0x32, 0x30, 0xBB, 0x0D, 0x0A, 0x1A, 0x0A};
    ASSERT_EQ(bytes.size(), 256u + 96u);
    EXPECT_EQ(std::memcmp(bytes.data(), identifier, 12), 0);
    const std::uint32_t header[] = {151, 1, 9, 7, 0, 0, 1, 2, 0, 128, 60, 188, 40};
    for (std::size_t i = 0; i < std::size(header); ++i)
        EXPECT_EQ(word(bytes, 12 + 4 * i), header[i]) << "header word " << i;
    EXPECT_EQ(doubleWord(bytes, 64), 0u) << "no supercompression global data";
    EXPECT_EQ(doubleWord(bytes, 72), 0u);
    const std::uint64_t levelIndex[] = {256, 96, 96, 240, 16, 16};
    for (std::size_t i = 0; i < std::size(levelIndex); ++i)
        EXPECT_EQ(doubleWord(bytes, levelIndexField + 8 * i), levelIndex[i]) << "level index entry " << i;

    // Descriptor: total size, vendor/type, version 2 and block size 56, ETC2 model, BT.709,
    // linear, straight alpha, 4 x 4 blocks of 16 bytes; alpha then colour, 64 bits each.
    const std::uint32_t descriptor[] = {
        60, 0, 2 | 56 << 16, 161 | 1 << 8 | 1 << 16,   3 | 3 << 8, 16, 0,         63 << 16 | 15u << 24,
        0,  0, 0xFFFFFFFF,   64 | 63 << 16 | 2u << 24, 0,          0,  0xFFFFFFFF};
    for (std::size_t i = 0; i < std::size(descriptor); ++i)
        EXPECT_EQ(word(bytes, 128 + 4 * i), descriptor[i]) << "descriptor word " << i;

    EXPECT_EQ(word(bytes, 188), 18u);
    EXPECT_EQ(text(bytes, 192, 20), std::string("KTXorientation\0rd\0\0\0", 20));
    EXPECT_EQ(word(bytes, 212), 12u);
    EXPECT_EQ(text(bytes, 216, 12), std::string("KTXwriter\0w\0", 12));
    EXPECT_EQ(text(bytes, 228, 12), std::string(12, '\0')) << "padding before the smallest level";
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 240, bytes.begin() + 256), texture.levels[1]);
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 256, bytes.end()), texture.levels[0]);
}

// Vulkan has no ETC1 format: the file says VK_FORMAT_UNDEFINED, describes the data with the
// ETC1 colour model (160) and gives GL_ETC1_RGB8_OES in KTXglFormat (first, in key order).
TEST(Ktx2, Etc1IsUndefinedInVulkanAndNamedByItsDescriptorAndGlFormat)
{
    const std::vector<std::uint8_t> bytes = etc::serializeKtx2(sampleTexture(etc::Format::Etc1, 4, 4, 1), "w");
    EXPECT_EQ(word(bytes, vkFormatField), 0u);
    const std::size_t dfd = word(bytes, dfdOffsetField);
    EXPECT_EQ(word(bytes, dfd + 12), 160u | 1 << 8 | 1 << 16);
    EXPECT_EQ(word(bytes, dfd + 28), 63u << 16) << "one 64-bit sample, channel 0";
    const std::size_t kvd = word(bytes, kvdOffsetField);
    EXPECT_EQ(word(bytes, kvd), 24u);
    EXPECT_EQ(text(bytes, kvd + 4, 12), std::string("KTXglFormat\0", 12));
    EXPECT_EQ(word(bytes, kvd + 16), 0x8D64u);
    EXPECT_EQ(word(bytes, kvd + 20), 0u);
    EXPECT_EQ(word(bytes, kvd + 24), 0u);
}

TEST(Ktx2, SignedAndSrgbFormatsMarkTheirSamples)
{
    const std::vector<std::uint8_t> signedRg = etc::serializeKtx2(sampleTexture(etc::Format::SignedRg11, 4, 4, 1), "w");
    std::size_t dfd = word(signedRg, dfdOffsetField);
    EXPECT_EQ(word(signedRg, dfd + 28), 63u << 16 | 0x40u << 24) << "signed red";
    EXPECT_EQ(word(signedRg, dfd + 36), 0x80000000u);
    EXPECT_EQ(word(signedRg, dfd + 40), 0x7FFFFFFFu);
    EXPECT_EQ(word(signedRg, dfd + 44), 64 | 63u << 16 | 0x41u << 24) << "signed green";

    const std::vector<std::uint8_t> srgba = etc::serializeKtx2(sampleTexture(etc::Format::Srgb8Alpha8, 4, 4, 1), "w");
    dfd = word(srgba, dfdOffsetField);
    EXPECT_EQ(word(srgba, vkFormatField), 152u);
    EXPECT_EQ((word(srgba, dfd + 12) >> 16) & 0xFF, 2u) << "sRGB transfer";
    EXPECT_EQ(word(srgba, dfd + 28), 63u << 16 | 0x1Fu << 24) << "alpha stays linear";
}

TEST(Ktx2, ParseReadsWhatSerializeWritesInEveryFormat)
{
    const int sizes[][2] = {{1, 1}, {5, 3}, {13, 6}, {64, 1}};
    for (const etc::FormatInfo& info : etc::allFormats()) {
        for (const auto& size : sizes) {
            const std::size_t levels = std::size_t(etc::ktx2FullLevelCount(size[0], size[1]));
            for (std::size_t count : {std::size_t(1), levels}) {
                const etc::Ktx2File original = sampleTexture(info.format, size[0], size[1], count);
                etc::Ktx2File parsed;
                std::string error;
                ASSERT_TRUE(etc::parseKtx2(etc::serializeKtx2(original, "etctool"), parsed, error))
                    << info.toolName << " " << size[0] << "x" << size[1] << ": " << error;
                EXPECT_EQ(parsed.format, info.format);
                EXPECT_EQ(parsed.width, size[0]);
                EXPECT_EQ(parsed.height, size[1]);
                EXPECT_EQ(parsed.levels, original.levels) << info.toolName;
            }
        }
    }
    EXPECT_EQ(etc::ktx2FullLevelCount(64, 1), 7);
    EXPECT_EQ(etc::ktx2FullLevelCount(5, 3), 3);
}

TEST(Ktx2, WriterRefusesTexturesTheContainerCannotHold)
{
    std::string error;
    EXPECT_TRUE(etc::checkSerializable(sampleTexture(etc::Format::Rgb8, 5, 3, 3), error)) << error;
    EXPECT_FALSE(etc::checkSerializable(sampleTexture(etc::Format::Rgb8, 5, 3, 4), error)) << "a fourth level of 5x3";
    EXPECT_FALSE(etc::checkSerializable(sampleTexture(etc::Format::Rgb8, 5, 3, 0), error)) << "no level";
    EXPECT_FALSE(etc::checkSerializable(etc::Ktx2File{etc::Format::Rgb8, 0, 3, {{}}}, error));
    etc::Ktx2File wrongPayload = sampleTexture(etc::Format::Rg11, 8, 8, 2);
    wrongPayload.levels[1].pop_back();
    EXPECT_FALSE(etc::checkSerializable(wrongPayload, error));
    EXPECT_NE(error.find("level 1"), std::string::npos) << error;
}

// Each damage, applied to a good two-level RGB8 file of 8 x 8, and the words of the reason.
TEST(Ktx2, ParseRefusesDamagedAndHostileFiles)
{
    const std::vector<std::uint8_t> good = etc::serializeKtx2(sampleTexture(etc::Format::Rgb8, 8, 8, 2), "w");
    const std::uint64_t huge = std::numeric_limits<std::uint64_t>::max() - 7;
    struct Damage {
        const char* what;
        std::function<void(std::vector<std::uint8_t>&)> apply;
        const char* reason;
    };
    const std::vector<Damage> damages = {
        {"identifier", [](auto& b) { b[5] = '1'; }, "not a KTX2 file"},
        {"header cut", [](auto& b) { b.resize(60); }, "truncated KTX2 header"},
        {"unknown format", [](auto& b) { putWord(b, vkFormatField, 37); }, "vkFormat 37"},
        {"undefined, not ETC1", [](auto& b) { putWord(b, vkFormatField, 0); }, "vkFormat 0"},
        {"type size", [](auto& b) { putWord(b, typeSizeField, 4); }, "type size 4"},
        {"zero width", [](auto& b) { putWord(b, widthField, 0); }, "image size 0x8"},
        {"huge height", [](auto& b) { putWord(b, heightField, 0x80000000u); }, "image size 8x2147483648"},
        {"3D", [](auto& b) { putWord(b, depthField, 2); }, "only 2D textures"},
        {"array", [](auto& b) { putWord(b, layersField, 3); }, "only 2D textures"},
        {"cube map", [](auto& b) { putWord(b, facesField, 6); }, "only 2D textures"},
        {"no levels", [](auto& b) { putWord(b, levelCountField, 0); }, "level count 0"},
        {"too many levels", [](auto& b) { putWord(b, levelCountField, 5); }, "level count 5"},
        {"supercompressed", [](auto& b) { putWord(b, schemeField, 2); }, "supercompression scheme 2"},
        {"descriptor outside", [](auto& b) { putWord(b, dfdOffsetField, 0xFFFFFFF0u); }, "data format descriptor"},
        {"descriptor size", [](auto& b) { putWord(b, dfdLengthField, 48); }, "data format descriptor"},
        {"key/values outside", [](auto& b) { putWord(b, kvdLengthField, 0xFFFFFFFFu); }, "key/value data"},
        {"global data", [](auto& b) { putDoubleWord(b, sgdLengthField, 8); }, "global data"},
        {"level outside", [](auto& b) { putDoubleWord(b, levelIndexField, 4096); }, "level 0 lies outside"},
        {"level offset wraps", [huge](auto& b) { putDoubleWord(b, levelIndexField + 24, huge); },
         "level 1 lies outside"},
        {"level misaligned", [](auto& b) { putDoubleWord(b, levelIndexField, doubleWord(b, levelIndexField) - 4); },
         "not aligned"},
        {"level length", [](auto& b) { putDoubleWord(b, levelIndexField + 8, 24); }, "level 0 holds 24 bytes"},
        {"uncompressed length", [](auto& b) { putDoubleWord(b, levelIndexField + 16, 0); }, "level 0 holds 32 bytes"},
        {"last bytes cut", [](auto& b) { b.pop_back(); }, "level 0 lies outside"},
    };
    for (const Damage& damage : damages) {
        std::vector<std::uint8_t> bytes = good;
        damage.apply(bytes);
        etc::Ktx2File file;
        std::string error;
        EXPECT_FALSE(etc::parseKtx2(bytes, file, error)) << damage.what;
        EXPECT_NE(error.find(damage.reason), std::string::npos) << damage.what << ": " << error;
    }
    // Every prefix of the file: refused, never read beyond (the sanitizer build would see it).
    for (std::size_t length = 0; length < good.size(); ++length) {
        etc::Ktx2File file;
        std::string error;
        EXPECT_FALSE(
            etc::parseKtx2(std::vector<std::uint8_t>(good.begin(), good.begin() + std::ptrdiff_t(length)), file, error))
            << length;
    }
}
