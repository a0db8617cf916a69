#include "BlockSample.h"
#include "PngIo.h"

#include "TestFolder.h"
#include "TestImages.h"
#include "ToolRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Each texel holds its own coordinates, so a gathered texel tells where it came from.
etc::Image coordinateImage(int width, int height)
{
    etc::Image image{width, height, {}};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.rgba.insert(image.rgba.end(), {static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 0, 255});
        }
    }
    return image;
}

// The source pixel of each texel of a gathered column, as (x, y).
std::vector<std::pair<int, int>> sources(const etc::Image& column)
{
    std::vector<std::pair<int, int>> list;
    for (std::size_t i = 0; i < column.rgba.size(); i += 4) {
        list.emplace_back(column.rgba[i], column.rgba[i + 1]);
    }
    return list;
}

// Texel sources of the 4 x 4 block at (bx, by) of a width x height image, edges repeated.
void appendExpectedBlock(int bx, int by, int width, int height, std::vector<std::pair<int, int>>& list)
{
    for (int y = by * 4; y < by * 4 + 4; ++y) {
        for (int x = bx * 4; x < bx * 4 + 4; ++x) {
            list.emplace_back(std::min(x, width - 1), std::min(y, height - 1));
        }
    }
}

double psnrOf(const std::string& row)
{
    const std::size_t at = row.find(" dB");
    EXPECT_NE(at, std::string::npos) << row;
    return std::atof(row.substr(row.rfind(' ', at - 1) + 1).c_str());
}

} // namespace

TEST(EtcBenchBlocks, EverySixteenthTakesTheDiagonalBlocksWithEdgesRepeated)
{
    // 8 x 5 blocks, the last column and row partial. (bx + 3 by) % 16 == 0 holds for
    // (0, 0), (7, 3) and (4, 4) only; the latter two reach past the right and bottom edges.
    const etc::Image column = bench::gatherBlocks(coordinateImage(30, 18), bench::BlockChoice::EverySixteenth);
    std::vector<std::pair<int, int>> expected;
    appendExpectedBlock(0, 0, 30, 18, expected);
    appendExpectedBlock(7, 3, 30, 18, expected);
    appendExpectedBlock(4, 4, 30, 18, expected);
    EXPECT_EQ(column.width, 4);
    EXPECT_EQ(column.height, 12);
    EXPECT_EQ(sources(column), expected);
}

TEST(EtcBenchBlocks, AllTakesEveryBlockInRasterOrder)
{
    const etc::Image column = bench::gatherBlocks(coordinateImage(10, 6), bench::BlockChoice::All);
    std::vector<std::pair<int, int>> expected;
    for (int by = 0; by < 2; ++by) {
        for (int bx = 0; bx < 3; ++bx) {
            appendExpectedBlock(bx, by, 10, 6, expected);
        }
    }
    EXPECT_EQ(column.height, 24);
    EXPECT_EQ(sources(column), expected);
}

TEST(EtcBench, TheSetRowIsTheMeanOfTheImageRows)
{
    TestFolder folder;
    std::string error;
    ASSERT_TRUE(imageio::writePng(folder.pathOf("a.png"), patternImage(32, 24), error)) << error;
    ASSERT_TRUE(imageio::writePng(folder.pathOf("b.png"), patternImage(16, 12), error)) << error;
    const ToolRun run =
        runTool("tools/etc-codec/etc-bench",
                {"--format", "rgb8", "--effort", "fast", "-j", "3", "--repeat", "1", "a.png", "b.png"}, folder.path());
    ASSERT_EQ(run.status, 0) << run.standardError;
    std::istringstream rows(run.standardOutput);
    std::string header, a, b, set;
    ASSERT_TRUE(std::getline(rows, header) && std::getline(rows, a) && std::getline(rows, b) && std::getline(rows, set))
        << run.standardOutput;
    EXPECT_EQ(header.find("Mpx/s x3"), header.size() - 8) << header;
    EXPECT_EQ(set.rfind("set ", 0), 0U) << set;
    EXPECT_NEAR(psnrOf(set), (psnrOf(a) + psnrOf(b)) / 2, 0.006) << run.standardOutput;
}

TEST(EtcBench, TheSetRowLeavesOutImagesWithoutTheFigure)
{
    // Punchthrough's RGB counts only opaque texels: the clear picture has none, so the set's
    // figure is the opaque picture's alone.
    TestFolder folder;
    std::string error;
    etc::Image opaque = patternImage(16, 16);
    etc::Image clear = patternImage(16, 16);
    for (std::size_t i = 3; i < opaque.rgba.size(); i += 4) {
        opaque.rgba[i] = 255;
        clear.rgba[i] = 0;
    }
    ASSERT_TRUE(imageio::writePng(folder.pathOf("opaque.png"), opaque, error)) << error;
    ASSERT_TRUE(imageio::writePng(folder.pathOf("clear.png"), clear, error)) << error;
    const ToolRun run =
        runTool("tools/etc-codec/etc-bench",
                {"--format", "rgb8-a1", "--effort", "fast", "--repeat", "1", "opaque.png", "clear.png"}, folder.path());
    ASSERT_EQ(run.status, 0) << run.standardError;
    std::istringstream rows(run.standardOutput);
    std::string header, first, second, set;
    ASSERT_TRUE(std::getline(rows, header) && std::getline(rows, first) && std::getline(rows, second) &&
                std::getline(rows, set))
        << run.standardOutput;
    EXPECT_NE(second.find("RGB n/a"), std::string::npos) << second;
    EXPECT_NEAR(psnrOf(set), psnrOf(first), 0.006) << run.standardOutput;
}

TEST(EtcBench, EveryArgumentErrorEndsWithTheHelpHint)
{
    TestFolder folder;
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--blocks", "k8", "a.png"}, "Error: --blocks needs all or k16"},
        {{"-j", "0", "a.png"}, "Error: -j needs a whole number from 1 to 256, got '0'"},
        {{"--repeat", "1001", "a.png"}, "Error: --repeat needs a whole number from 1 to 1000, got '1001'"},
        {{"--effort", "thorough", "a.png"}, "Error: --effort needs an effort name"},
        {{"--format", "dxt1", "a.png"}, "Error: --format needs a format name"},
        {{"--fast", "a.png"}, "Error: unknown option --fast"},
        {{}, "Error: no images given"},
    };
    for (const auto& [arguments, message] : cases) {
        const ToolRun run = runTool("tools/etc-codec/etc-bench", arguments, folder.path());
        EXPECT_EQ(run.status, 1) << message;
        EXPECT_EQ(run.standardError, message + "; run 'etc-bench --help' for usage\n");
    }
}

TEST(EtcBench, VersionNamesTheTool)
{
    TestFolder folder;
    const ToolRun run = runTool("tools/etc-codec/etc-bench", {"--version"}, folder.path());
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.standardOutput.rfind("etc-bench ", 0), 0U) << run.standardOutput;
    EXPECT_EQ(std::count(run.standardOutput.begin(), run.standardOutput.end(), '\n'), 1) << run.standardOutput;
}
