#include "PgmAlpha.h"

#include "ExitExpectation.h"
#include "MemoryLimit.h"
#include "TestFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

std::string rasterOf(const PgmAlpha& alpha)
{
    return std::string(reinterpret_cast<const char*>(alpha.pixels.get()),
                       static_cast<size_t>(alpha.width) * static_cast<size_t>(alpha.height));
}

// Distinct bytes, so a shifted or skipped byte shows.
std::string countingRaster(int size)
{
    std::string raster;
    for (int i = 0; i < size; ++i)
        raster += static_cast<char>(i * 7 + 1);
    return raster;
}

// Expects reading the file to end with "Error: " + message naming it and status 1.
void expectRejected(const std::string& path, const std::string& messageBeforeName, const std::string& afterName)
{
    EXPECT_EXIT_WITH_STDERR(readPgmAlphaFile(path.c_str()), 1, "Error: " + messageBeforeName + path + afterName + "\n");
}

// Reads the file with 256 MiB of address space in all, far less than its header claims.
void readWithLittleMemory(const std::string& path)
{
    limitAddressSpace(std::uint64_t(256) << 20);
    readPgmAlphaFile(path.c_str());
}

} // namespace

TEST(PgmAlphaTest, ReadsSizeAndRasterRowsFromTheTop)
{
    TestFolder folder;
    const std::string raster = countingRaster(3 * 2);
    const PgmAlpha alpha = readPgmAlphaFile(folder.write("a.pgm", "P5 3 2 255\n" + raster).c_str());
    EXPECT_EQ(alpha.width, 3);
    EXPECT_EQ(alpha.height, 2);
    EXPECT_EQ(rasterOf(alpha), raster);
}

TEST(PgmAlphaTest, AcceptsAHeaderSpreadOverSeveralLinesAndIgnoresBytesAfterTheRaster)
{
    TestFolder folder;
    const std::string raster = countingRaster(4 * 3);
    const PgmAlpha multiLine = readPgmAlphaFile(folder.write("lines.pgm", "P5\n4 3\n255\n" + raster).c_str());
    EXPECT_EQ(multiLine.width, 4);
    EXPECT_EQ(multiLine.height, 3);
    EXPECT_EQ(rasterOf(multiLine), raster);

    const PgmAlpha spaced = readPgmAlphaFile(folder.write("spaced.pgm", "P5  \t4\n\n 3 \n255 " + raster).c_str());
    EXPECT_EQ(rasterOf(spaced), raster);

    const PgmAlpha longer = readPgmAlphaFile(folder.write("longer.pgm", "P5 4 3 255\n" + raster + "tail").c_str());
    EXPECT_EQ(rasterOf(longer), raster);
}

TEST(PgmAlphaTest, RejectsHeadersThatDoNotParse)
{
    TestFolder folder;
    const std::string raster = countingRaster(8);
    for (const auto& [name, bytes] : std::initializer_list<std::pair<const char*, std::string>>{
             {"comment.pgm", "P5\n# made by hand\n4 2\n255\n" + raster},
             {"ascii.pgm", "P2 4 2 255\n" + raster},
             {"no-magic.pgm", "4 2 255\n" + raster},
             {"short.pgm", "P5 4 2"},
             {"empty.pgm", ""},
         })
        expectRejected(folder.write(name, bytes), "Error reading file header of ", "");
}

TEST(PgmAlphaTest, RejectsAMaximumGreyValueOtherThan255)
{
    TestFolder folder;
    // 16-bit samples, fewer grey levels, and a value that wraps to 255 as a 32-bit int.
    for (const char* maximum : {"65535", "256", "254", "1", "0", "4294967551"}) {
        const std::string path = folder.write(std::string("max-") + maximum + ".pgm",
                                              std::string("P5 2 2 ") + maximum + "\n" + countingRaster(8));
        expectRejected(path, "Alpha file ", " has wrong maximum gray value, must be 255");
    }
}

TEST(PgmAlphaTest, RejectsARasterOneByteShort)
{
    TestFolder folder;
    expectRejected(folder.write("short.pgm", "P5 4 2 255\n" + countingRaster(7)), "Error reading ", "");
    expectRejected(folder.write("header-only.pgm", "P5 4 2 255\n"), "Error reading ", "");
    expectRejected(folder.write("no-separator.pgm", "P5 4 2 255"), "Error reading ", "");
}

// Only one separator byte is skipped: after a CR LF the LF is raster byte 0 and the raster
// shifts by one, so a file with the whole raster after its CR LF loses its last byte, and
// one that is a byte shorter is short.
TEST(PgmAlphaTest, CrLfHeaderLeavesTheLineFeedAsTheFirstRasterByte)
{
    TestFolder folder;
    const std::string raster = countingRaster(4 * 2);
    const PgmAlpha alpha = readPgmAlphaFile(folder.write("exact.pgm", "P5 4 2 255\r\n" + raster).c_str());
    EXPECT_EQ(rasterOf(alpha), "\n" + raster.substr(0, 7));

    expectRejected(folder.write("short.pgm", "P5 4 2 255\r\n" + raster.substr(0, 6)), "Error reading ", "");
}

TEST(PgmAlphaTest, RejectsSizesThatAreNotPositive)
{
    TestFolder folder;
    for (const auto& [width, height] : std::initializer_list<std::pair<const char*, const char*>>{
             {"0", "2"}, {"2", "0"}, {"-4", "2"}, {"4", "-2"}, {"-1", "-1"}}) {
        const std::string path = folder.write(std::string("size") + width + "x" + height + ".pgm",
                                              std::string("P5 ") + width + " " + height + " 255\n" + countingRaster(8));
        expectRejected(path, "Alpha file ",
                       std::string(" has size ") + width + " x " + height + ", width and height must be positive");
    }
}

TEST(PgmAlphaTest, RejectsSizesTooLargeToHold)
{
    TestFolder folder;
    const std::string tail = " 255\n" + countingRaster(8);
    // Wider than a texture side can be (and than a 32-bit int can hold).
    expectRejected(folder.write("wide.pgm", "P5 4294967298 1" + tail), "Alpha file ",
                   " has size 4294967298 x 1, too large to load");
    expectRejected(folder.write("tall.pgm", "P5 1 2147483648" + tail), "Alpha file ",
                   " has size 1 x 2147483648, too large to load");
    // Each side fits, the raster cannot be allocated.
    expectRejected(folder.write("huge.pgm", "P5 2147483647 2147483647" + tail), "Alpha file ",
                   " has size 2147483647 x 2147483647, too large to load");
}

// Twenty bytes made the reader allocate the 1.6 GB they claim before it found
// the raster missing.
TEST(PgmAlphaTest, RejectsARasterLongerThanTheFileBeforeAllocatingIt)
{
    TestFolder folder;
    const std::string path = folder.write("claims.pgm", "P5 40000 40000 255\n" + countingRaster(8));
    EXPECT_EXIT_WITH_STDERR(readWithLittleMemory(path), 1, "Error: Error reading " + path + "\n");
}

TEST(PgmAlphaTest, RejectsAFileThatCannotBeOpened)
{
    TestFolder folder;
    expectRejected(folder.pathOf("missing.pgm"), "Failed to open '", "'\n");
    expectRejected(folder.path(), "Failed to open '", "'\n");
}
