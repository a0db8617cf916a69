#include "Texture.h"

#include "ExitExpectation.h"
#include "PkmFile.h"
#include "TestFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

using namespace KorvoSDK;

namespace {

constexpr GLenum etc1Format = 0x8D64;

} // namespace

TEST(TextureTest, MipmapLevelCountHalvesEachSideDownToOne)
{
    EXPECT_EQ(Texture::mipmapLevelCount(1, 1), 1);
    EXPECT_EQ(Texture::mipmapLevelCount(512, 256), 10);
    EXPECT_EQ(Texture::mipmapLevelCount(8, 2), 4);
    EXPECT_EQ(Texture::mipmapLevelCount(2, 8), 4);
    EXPECT_EQ(Texture::mipmapLevelCount(5, 1), 3); // 5, 2, 1: halving truncates
    EXPECT_EQ(Texture::mipmapLevelCount(1024, 1024), 11);
}

TEST(TextureTest, MipmapLevelFileNamesWriteTheLevelInFull)
{
    EXPECT_EQ(Texture::mipmapLevelFileName("assets/img_mip_", 0, ".pkm"), "assets/img_mip_0.pkm");
    EXPECT_EQ(Texture::mipmapLevelFileName("assets/img_mip_", 9, ".pkm"), "assets/img_mip_9.pkm");
    EXPECT_EQ(Texture::mipmapLevelFileName("assets/img_mip_", 10, "_alpha.pkm"), "assets/img_mip_10_alpha.pkm");
    EXPECT_EQ(Texture::mipmapLevelFileName("", 123, ""), "123");
    EXPECT_EQ(Texture::mipmapLevelFileName("b", 100000, "s"), "b100000s");
}

TEST(TextureTest, ReadWholeFileGivesExactlyTheFilesBytes)
{
    TestFolder folder;
    const std::string bytes("a\0b\xff\n", 5);
    unsigned char* data = nullptr;
    size_t length = 99;
    Texture::readWholeFile(folder.write("five", bytes).c_str(), &data, &length);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(length, 5u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data), length), bytes);
    free(data);

    data = nullptr;
    Texture::readWholeFile(folder.write("empty", "").c_str(), &data, &length);
    EXPECT_NE(data, nullptr);
    EXPECT_EQ(length, 0u);
    free(data);
}

TEST(TextureTest, ReadWholeFileOfAMissingFileExits)
{
    TestFolder folder;
    const std::string missing = folder.pathOf("missing.pkm");
    unsigned char* data = nullptr;
    EXPECT_EXIT_WITH_STDERR(Texture::readWholeFile(missing.c_str(), &data), 1,
                            "Error: Failed to open '" + missing + "'\n\n");
}

// A folder opens for reading, and its "length" would be taken for a file's.
TEST(TextureTest, ReadWholeFileOfAFolderExitsAsAFileThatCannotBeOpened)
{
    TestFolder folder;
    unsigned char* data = nullptr;
    EXPECT_EXIT_WITH_STDERR(Texture::readWholeFile(folder.path().c_str(), &data), 1,
                            "Error: Failed to open '" + folder.path() + "'\n\n");
}

TEST(TextureTest, LoadPkmFilePointsAtThePayloadOfTheWholeFile)
{
    TestFolder folder;
    const std::string payload = solidEtc1Blocks(15, 0, 0, 6);
    const std::string file = folder.write("image.pkm", pkmFile(10, 6, payload));

    ETCHeader header;
    unsigned char* textureData = nullptr;
    Texture::loadPkmFile(file.c_str(), &header, &textureData);
    ASSERT_NE(textureData, nullptr);
    EXPECT_EQ(header.width(), 10);
    EXPECT_EQ(header.height(), 6);
    EXPECT_EQ(header.paddedWidth(), 12);
    EXPECT_EQ(header.paddedHeight(), 8);
    EXPECT_EQ(header.imageSize(etc1Format), 48);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(textureData), payload.size()), payload);
    EXPECT_EQ(memcmp(textureData - 16, "PKM 10", 6), 0);
    free(textureData - 16);

    // The format-aware loader accepts the same file, and a longer one.
    textureData = nullptr;
    Texture::loadPkmFileForFormat(file.c_str(), etc1Format, &header, &textureData);
    ASSERT_NE(textureData, nullptr);
    EXPECT_EQ(header.width(), 10);
    free(textureData - 16);
    const std::string longer = folder.write("longer.pkm", pkmFile(10, 6, payload + "xyz"));
    Texture::loadPkmFileForFormat(longer.c_str(), etc1Format, &header, &textureData);
    free(textureData - 16);
}

TEST(TextureTest, LoadPkmFileRejectsNullOutPointersAfterReadingTheFile)
{
    TestFolder folder;
    const std::string file = folder.write("image.pkm", pkmFile(4, 4, solidEtc1Blocks(0, 0, 0, 1)));
    ETCHeader header;
    unsigned char* textureData = nullptr;
    EXPECT_EXIT_WITH_STDERR(Texture::loadPkmFile(file.c_str(), &header, nullptr), 1,
                            "Error: textureData is a NULL pointer.\n");
    EXPECT_EXIT_WITH_STDERR(Texture::loadPkmFile(file.c_str(), nullptr, &textureData), 1,
                            "Error: etcHeader is a NULL pointer.\n");
    // The file is read first: a missing file is reported even with null arguments.
    const std::string missing = folder.pathOf("none.pkm");
    EXPECT_EXIT_WITH_STDERR(Texture::loadPkmFile(missing.c_str(), nullptr, nullptr), 1,
                            "Error: Failed to open '" + missing + "'\n\n");
}

TEST(TextureTest, PkmFileShorterThanItsHeaderIsRejected)
{
    TestFolder folder;
    const std::string truncated = folder.write("truncated.pkm", pkmFile(4, 4, "").substr(0, 15));
    const std::string empty = folder.write("empty.pkm", "");
    ETCHeader header;
    unsigned char* textureData = nullptr;
    EXPECT_EXIT_WITH_STDERR(Texture::loadPkmFile(truncated.c_str(), &header, &textureData), 1,
                            "Error: PKM file '" + truncated +
                                "' is 15 bytes long, shorter than its 16-byte header\n\n");
    EXPECT_EXIT_WITH_STDERR(Texture::loadPkmFile(empty.c_str(), &header, &textureData), 1,
                            "Error: PKM file '" + empty + "' is 0 bytes long, shorter than its 16-byte header\n\n");
    EXPECT_EXIT_WITH_STDERR(Texture::loadPkmFileForFormat(empty.c_str(), etc1Format, &header, &textureData), 1,
                            "Error: PKM file '" + empty + "' is 0 bytes long, shorter than its 16-byte header\n\n");
}

TEST(TextureTest, PkmFileShorterThanItsPayloadIsRejectedForTheFormatUploaded)
{
    TestFolder folder;
    // 8 x 8 pixels: 32 bytes for 8-byte-block formats, 64 for 16-byte-block formats.
    const std::string file = folder.write("image.pkm", pkmFile(8, 8, std::string(32, '\x55')));
    ETCHeader header;
    unsigned char* textureData = nullptr;

    Texture::loadPkmFileForFormat(file.c_str(), GL_COMPRESSED_RGB8_ETC2, &header, &textureData);
    free(textureData - 16);
    EXPECT_EXIT_WITH_STDERR(
        Texture::loadPkmFileForFormat(file.c_str(), GL_COMPRESSED_RGBA8_ETC2_EAC, &header, &textureData), 1,
        "Error: PKM file '" + file + "' holds 32 payload bytes, its header needs 64 for format 0x9278\n\n");

    const std::string oneShort = folder.write("short.pkm", pkmFile(8, 8, std::string(31, '\x55')));
    EXPECT_EXIT_WITH_STDERR(Texture::loadPkmFileForFormat(oneShort.c_str(), etc1Format, &header, &textureData), 1,
                            "Error: PKM file '" + oneShort +
                                "' holds 31 payload bytes, its header needs 32 for format 0x8d64\n\n");
}

TEST(TextureTest, CreateFilledDataSetsEveryByteToTheLowEightBits)
{
    unsigned char* data = nullptr;
    Texture::createFilledData(3, 5, 0x1AB, &data);
    ASSERT_NE(data, nullptr);
    for (int i = 0; i < 15; ++i)
        EXPECT_EQ(data[i], 0xAB) << "byte " << i;
    unsigned char* const block = data;
    Texture::releaseData(&data);
    EXPECT_EQ(data, block);

    data = nullptr;
    Texture::createFilledData(0, 7, 1, &data);
    EXPECT_NE(data, nullptr);
    Texture::releaseData(&data);
}
