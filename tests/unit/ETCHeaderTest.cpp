#include "ETCHeader.h"

#include <gtest/gtest.h>

using KorvoSDK::ETCHeader;

namespace {

// A PKM header whose size fields are given as raw bytes (offsets 8 to 15).
ETCHeader headerWithSizeBytes(std::initializer_list<unsigned char> sizeBytes)
{
    unsigned char file[16] = {'P', 'K', 'M', ' ', '1', '0', 0, 0};
    int offset = 8;
    for (unsigned char byte : sizeBytes)
        file[offset++] = byte;
    return ETCHeader(file);
}

} // namespace

TEST(ETCHeaderTest, FieldsAreBigEndianInFileOrder)
{
    const ETCHeader header = headerWithSizeBytes({0x01, 0x30, 0x00, 0x08, 0x01, 0x2C, 0x00, 0x06});
    EXPECT_EQ(header.paddedWidth(), 304);
    EXPECT_EQ(header.paddedHeight(), 8);
    EXPECT_EQ(header.width(), 300);
    EXPECT_EQ(header.height(), 6);

    const ETCHeader largest = headerWithSizeBytes({0xFF, 0xFF, 0xFF, 0xFC, 0xFF, 0xFE, 0x80, 0x00});
    EXPECT_EQ(largest.paddedWidth(), 65535);
    EXPECT_EQ(largest.paddedHeight(), 65532);
    EXPECT_EQ(largest.width(), 65534);
    EXPECT_EQ(largest.height(), 32768);

    EXPECT_EQ(ETCHeader().width(), 0);
    EXPECT_EQ(ETCHeader().paddedHeight(), 0);
}

TEST(ETCHeaderTest, ImageSizeUsesPaddedSizeAndTheFormatsBlockSize)
{
    const ETCHeader square = headerWithSizeBytes({0, 64, 0, 64, 0, 64, 0, 64});
    EXPECT_EQ(square.imageSize(0x8D64), 2048); // GL_ETC1_RGB8_OES
    EXPECT_EQ(square.imageSize(GL_COMPRESSED_RGBA8_ETC2_EAC), 4096);

    const ETCHeader padded = headerWithSizeBytes({0, 8, 0, 8, 0, 6, 0, 6});
    EXPECT_EQ(padded.imageSize(GL_COMPRESSED_RGB8_ETC2), 32);

    // Every ETC2/EAC format: 16-byte blocks for the two-channel EAC and the RGBA8 formats.
    const ETCHeader block = headerWithSizeBytes({0, 4, 0, 4, 0, 4, 0, 4});
    const GLenum eightByteBlocks[] = {GL_COMPRESSED_R11_EAC,
                                      GL_COMPRESSED_SIGNED_R11_EAC,
                                      GL_COMPRESSED_RGB8_ETC2,
                                      GL_COMPRESSED_SRGB8_ETC2,
                                      GL_COMPRESSED_RGB8_PUNCHTHROUGH_ALPHA1_ETC2,
                                      GL_COMPRESSED_SRGB8_PUNCHTHROUGH_ALPHA1_ETC2};
    for (GLenum format : eightByteBlocks)
        EXPECT_EQ(block.imageSize(format), 8) << std::hex << format;
    const GLenum sixteenByteBlocks[] = {GL_COMPRESSED_RG11_EAC, GL_COMPRESSED_SIGNED_RG11_EAC,
                                        GL_COMPRESSED_RGBA8_ETC2_EAC, GL_COMPRESSED_SRGB8_ALPHA8_ETC2_EAC};
    for (GLenum format : sixteenByteBlocks)
        EXPECT_EQ(block.imageSize(format), 16) << std::hex << format;
}

TEST(ETCHeaderTest, ImageSizeOfTheLargestHeaderDoesNotOverflowForHalfByteFormats)
{
    const ETCHeader largest = headerWithSizeBytes({0xFF, 0xFC, 0xFF, 0xFC, 0xFF, 0xFC, 0xFF, 0xFC});
    EXPECT_EQ(largest.imageSize(GL_COMPRESSED_RGB8_ETC2), 2147221512); // 65532 * 65532 / 2
}
