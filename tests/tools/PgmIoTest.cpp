#include "PgmIo.h"

#include "TestFolder.h"
#include "ToolRun.h"

#include <gtest/gtest.h>

#include <cstdio>

TEST(PgmIo, HeaderIsP5WidthHeight255AndOneNewlineBeforeTheRaster)
{
    const std::vector<std::uint8_t> raster = {0, 1, 2, 253, 254, 255};
    const std::vector<std::uint8_t> bytes = imageio::encodePgm(3, 2, raster);
    const std::string header = "P5\n3 2\n255\n";
    ASSERT_EQ(bytes.size(), header.size() + raster.size());
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + header.size()), header);
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + header.size(), bytes.end()), raster);
}

TEST(PgmIo, TheAlphaReaderFindsTheRasterAfterExactlyOneSeparatorByte)
{
    // The sample's reader: "P5 %d %d %d" of formatted input, then one byte skipped.
    TestFolder folder;
    std::vector<std::uint8_t> raster(512 * 4);
    for (std::size_t i = 0; i < raster.size(); ++i)
        raster[i] = std::uint8_t(i * 7);
    raster[0] = '\n'; // a raster starting with whitespace must not be swallowed
    std::string error;
    ASSERT_TRUE(imageio::writePgm(folder.pathOf("alpha.pgm"), 512, 4, raster, error)) << error;
    std::FILE* file = std::fopen(folder.pathOf("alpha.pgm").c_str(), "rb");
    ASSERT_NE(file, nullptr);
    int width = 0, height = 0, maximum = 0;
    ASSERT_EQ(std::fscanf(file, "P5 %d %d %d", &width, &height, &maximum), 3);
    std::fgetc(file);
    std::vector<std::uint8_t> read(raster.size() + 1);
    const std::size_t count = std::fread(read.data(), 1, read.size(), file);
    std::fclose(file);
    EXPECT_EQ(width, 512);
    EXPECT_EQ(height, 4);
    EXPECT_EQ(maximum, 255);
    ASSERT_EQ(count, raster.size()) << "nothing may follow the raster";
    read.resize(count);
    EXPECT_EQ(read, raster);
}

TEST(PgmIo, RefusesARasterOfTheWrongSizeAndWritesNothing)
{
    TestFolder folder;
    std::string error;
    EXPECT_FALSE(imageio::writePgm(folder.pathOf("bad.pgm"), 4, 4, std::vector<std::uint8_t>(15), error));
    EXPECT_NE(error.find("bad.pgm"), std::string::npos) << error;
    EXPECT_FALSE(fileExists(folder.pathOf("bad.pgm")));
    EXPECT_FALSE(imageio::writePgm(folder.pathOf("empty.pgm"), 0, 4, {}, error));
    EXPECT_TRUE(folderEntries(folder.path()).empty());
}
