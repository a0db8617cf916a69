#include "PngIo.h"

#include "MemoryLimit.h"
#include "TestFolder.h"
#include "TestImages.h"
#include "ToolRun.h"

#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

void appendBigEndian32(std::string& bytes, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes.push_back(char(value >> shift));
}

// A PNG signature and chunk, with its CRC, as the format defines them.
std::string pngChunk(const std::string& type, const std::string& data)
{
    std::string chunk;
    appendBigEndian32(chunk, std::uint32_t(data.size()));
    const std::string body = type + data;
    chunk += body;
    appendBigEndian32(chunk, std::uint32_t(crc32(0, reinterpret_cast<const Bytef*>(body.data()), uInt(body.size()))));
    return chunk;
}

} // namespace

TEST(PngIo, RoundTripKeepsEveryChannelOfEveryTexel)
{
    TestFolder folder;
    const etc::Image original = patternImage(7, 5);
    std::string error;
    ASSERT_TRUE(imageio::writePng(folder.pathOf("pattern.png"), original, error)) << error;
    etc::Image read;
    ASSERT_TRUE(imageio::readPng(folder.pathOf("pattern.png"), read, error)) << error;
    EXPECT_EQ(read.width, 7);
    EXPECT_EQ(read.height, 5);
    EXPECT_EQ(read.rgba, original.rgba);
}

TEST(PngIo, ReadsSixteenBitGreyAsItsHighByteWithoutGammaChanges)
{
    TestFolder folder;
    // Big-endian 16-bit samples: 0x0000, 0x8000, 0xFFFF, 0x3C00.
    writeRawPng(folder.pathOf("grey16.png"), 4, 1, PNG_COLOR_TYPE_GRAY, 16,
                {0x00, 0x00, 0x80, 0x00, 0xFF, 0xFF, 0x3C, 0x00});
    etc::Image image;
    std::string error;
    ASSERT_TRUE(imageio::readPng(folder.pathOf("grey16.png"), image, error)) << error;
    const std::uint8_t expected[4] = {0x00, 0x80, 0xFF, 0x3C};
    for (int x = 0; x < 4; ++x) {
        const std::uint8_t* p = texel(image, x, 0);
        EXPECT_EQ(p[0], expected[x]) << "texel " << x;
        EXPECT_EQ(p[1], expected[x]);
        EXPECT_EQ(p[2], expected[x]);
        EXPECT_EQ(p[3], 255);
    }
}

TEST(PngIo, SixteenBitImagesKeepEveryBitOfEveryChannel)
{
    // Grey, grey + alpha, RGB and RGBA at 16 bits: values chosen to differ in their low bits
    // (0x1234 and 0x12FF share a high byte) and at the ends, stored big-endian by libpng.
    struct Layout {
        int colourType;
        int channels;
    };
    TestFolder folder;
    for (const Layout layout : {Layout{PNG_COLOR_TYPE_GRAY, 1}, Layout{PNG_COLOR_TYPE_GRAY_ALPHA, 2},
                                Layout{PNG_COLOR_TYPE_RGB, 3}, Layout{PNG_COLOR_TYPE_RGB_ALPHA, 4}}) {
        const int width = 5;
        std::vector<unsigned> values;
        values.reserve(std::size_t(width) * layout.channels);
        for (int i = 0; i < width * layout.channels; ++i)
            values.push_back((0x1234u + 0x2F01u * unsigned(i) + (i % 3 == 0 ? 0xCBu : 0u)) % 65536u);
        values[0] = 0xFFFF;
        values[1] = 0;
        std::vector<std::uint8_t> row;
        row.reserve(values.size() * 2);
        for (unsigned v : values) {
            row.push_back(std::uint8_t(v >> 8));
            row.push_back(std::uint8_t(v & 0xFF));
        }
        const std::string path = folder.pathOf("wide" + std::to_string(layout.colourType) + ".png");
        writeRawPng(path, width, 1, layout.colourType, 16, row);
        etc::Image image;
        std::string error;
        ASSERT_TRUE(imageio::readPng(path, image, error)) << error;
        ASSERT_EQ(image.rgba16.size(), std::size_t(width) * 4);
        for (int x = 0; x < width; ++x) {
            const unsigned* texel = &values[std::size_t(x) * layout.channels];
            const bool grey = layout.channels < 3;
            const bool alpha = layout.channels % 2 == 0;
            const unsigned expected[4] = {texel[0], grey ? texel[0] : texel[1], grey ? texel[0] : texel[2],
                                          alpha ? texel[layout.channels - 1] : 0xFFFFu};
            for (int c = 0; c < 4; ++c) {
                EXPECT_EQ(image.rgba16[std::size_t(x) * 4 + c], expected[c]) << layout.colourType << " " << x << c;
                EXPECT_EQ(image.wideChannel(std::size_t(x), c), int(expected[c]));
                // The bytes are the nearest on the 8-bit scale.
                EXPECT_EQ(image.rgba[std::size_t(x) * 4 + c], std::lround(expected[c] * 255.0 / 65535.0));
            }
        }
    }
}

TEST(PngIo, EightBitImagesHaveNoSixteenBitPlaneAndWidenByReplication)
{
    TestFolder folder;
    std::string error;
    ASSERT_TRUE(imageio::writePng(folder.pathOf("pattern.png"), patternImage(3, 2), error)) << error;
    etc::Image image;
    ASSERT_TRUE(imageio::readPng(folder.pathOf("pattern.png"), image, error)) << error;
    EXPECT_TRUE(image.rgba16.empty());
    for (std::size_t i = 0; i < image.rgba.size(); ++i)
        EXPECT_EQ(image.wideChannel(i / 4, int(i % 4)), image.rgba[i] * 257);
}

TEST(PngIo, ReadsPalettedImagesWithTransparencyAsRgba)
{
    TestFolder folder;
    writeRawPng(folder.pathOf("palette.png"), 3, 1, PNG_COLOR_TYPE_PALETTE, 8, {2, 0, 1},
                {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}}, {0, 128});
    etc::Image image;
    std::string error;
    ASSERT_TRUE(imageio::readPng(folder.pathOf("palette.png"), image, error)) << error;
    EXPECT_EQ(std::vector<std::uint8_t>(image.rgba.begin(), image.rgba.end()),
              (std::vector<std::uint8_t>{70, 80, 90, 255, 10, 20, 30, 0, 40, 50, 60, 128}));
}

TEST(PngIo, RejectsAFileThatIsNotAPngAndNamesIt)
{
    TestFolder folder;
    const std::string path = folder.write("fake.png", "GIF89a this is not a PNG");
    etc::Image image;
    std::string error;
    EXPECT_FALSE(imageio::readPng(path, image, error));
    EXPECT_NE(error.find(path), std::string::npos) << error;
    EXPECT_NE(error.find("not a PNG"), std::string::npos) << error;
}

TEST(PngIo, RejectsATruncatedPngAndAMissingFileNamingThem)
{
    TestFolder folder;
    std::string error;
    ASSERT_TRUE(imageio::writePng(folder.pathOf("whole.png"), patternImage(16, 16), error));
    const std::string whole = fileBytes(folder.pathOf("whole.png"));
    const std::string cut = folder.write("cut.png", whole.substr(0, whole.size() / 2));
    etc::Image image;
    EXPECT_FALSE(imageio::readPng(cut, image, error));
    EXPECT_NE(error.find(cut), std::string::npos) << error;

    const std::string missing = folder.pathOf("missing.png");
    EXPECT_FALSE(imageio::readPng(missing, image, error));
    EXPECT_NE(error.find(missing), std::string::npos) << error;
}

TEST(PngIo, AFailedWriteLeavesNothingBehindAndKeepsTheOldFile)
{
    TestFolder folder;
    std::string error;
    EXPECT_FALSE(imageio::writePng(folder.pathOf("no/such/folder/out.png"), patternImage(4, 4), error));
    EXPECT_NE(error.find("no/such/folder/out.png"), std::string::npos) << error;

    const std::string kept = folder.write("kept.png", "old contents");
    etc::Image broken{4, 4, std::vector<std::uint8_t>(10)}; // too few bytes for 4 x 4
    EXPECT_FALSE(imageio::writePng(kept, broken, error));
    EXPECT_EQ(fileBytes(kept), "old contents");
    EXPECT_EQ(folderEntries(folder.path()), std::vector<std::string>{"kept.png"});
}

TEST(PngIo, RefusesAHeaderThatAsksForGigabytesBeforeAllocatingThem)
{
    TestFolder folder;
    std::string header;
    appendBigEndian32(header, 30000);
    appendBigEndian32(header, 30000);
    header += std::string("\x08\x06\x00\x00\x00", 5); // 8-bit RGBA, no interlace
    const std::string path = folder.write(
        "huge.png", "\x89PNG\r\n\x1a\n" + pngChunk("IHDR", header) + pngChunk("IDAT", "") + pngChunk("IEND", ""));
    etc::Image image;
    std::string error;
    EXPECT_FALSE(imageio::readPng(path, image, error));
    EXPECT_NE(error.find("too large"), std::string::npos) << error;
    EXPECT_NE(error.find(path), std::string::npos) << error;
}

// Reads the PNG with 1 GiB of address space in all, less than what its header claims would
// take; prints the error and ends with 0 when the read failed as it should.
[[noreturn]] void readWithLittleMemory(const std::string& path)
{
    limitAddressSpace(std::uint64_t(1) << 30);
    etc::Image image;
    std::string error;
    const bool read = imageio::readPng(path, image, error);
    std::fprintf(stderr, "%s\n", error.c_str());
    std::exit(read ? 2 : 0);
}

TEST(PngIo, PngsWhoseHeadersClaimGigabytesAreRefusedWithoutAllocatingThem)
{
    TestFolder folder;
    const std::string signature = "\x89PNG\r\n\x1a\n";
    std::string header;
    appendBigEndian32(header, 8);
    appendBigEndian32(header, 8);
    header += std::string("\x08\x06\x00\x00\x00", 5);
    std::string claim; // a tEXt chunk of 2 GiB, cut off after its length and type
    appendBigEndian32(claim, 0x7FFFFFFF);
    claim += "tEXt";
    const std::string text = folder.write("text.png", signature + pngChunk("IHDR", header) + claim);
    std::string large; // 16384 x 16384 interlaced grey: a 256 MiB raster with no data
    appendBigEndian32(large, 16384);
    appendBigEndian32(large, 16384);
    large += std::string("\x08\x00\x00\x00\x01", 5);
    const std::string noData = std::string("\x78\x9c\x03\x00\x00\x00\x00\x01", 8); // zlib of nothing
    const std::string empty = folder.write(
        "empty.png", signature + pngChunk("IHDR", large) + pngChunk("IDAT", noData) + pngChunk("IEND", ""));
    EXPECT_EQ(fileBytes(text).size(), 41u);
    for (const auto& [path, reason] : {std::pair{text, "file is truncated"}, std::pair{empty, "Not enough image data"}})
        EXPECT_EXIT(readWithLittleMemory(path), ::testing::ExitedWithCode(0),
                    "Failed to read '.*': " + std::string(reason));
}
