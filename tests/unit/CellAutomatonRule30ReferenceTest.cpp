#include "Rule30Reference.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

using namespace CellAutomaton;

namespace {

// "0001000" style rows: '1' live.
CellRow row(const std::string& cells)
{
    CellRow result;
    for (char cell : cells)
        result.push_back(cell == '1' ? 255 : 0);
    return result;
}

std::string text(const CellRow& cells)
{
    std::string result;
    for (std::uint8_t cell : cells)
        result += cell != 0 ? '1' : '0';
    return result;
}

std::vector<std::uint8_t> pixels(const std::vector<std::array<std::uint8_t, 4>>& colours)
{
    std::vector<std::uint8_t> rgba;
    for (const auto& colour : colours)
        rgba.insert(rgba.end(), colour.begin(), colour.end());
    return rgba;
}

} // namespace

TEST(CellAutomatonRule30Reference, GrowsTheClassicTriangleFromOneCell)
{
    // Worked by hand: each cell is left XOR (centre OR right).
    const std::vector<CellRow> history = growHistory(row("0001000"), 4);
    ASSERT_EQ(history.size(), 4u);
    EXPECT_EQ(text(history[0]), "0001000");
    EXPECT_EQ(text(history[1]), "0011100");
    EXPECT_EQ(text(history[2]), "0110010");
    EXPECT_EQ(text(history[3]), "1101111");
}

TEST(CellAutomatonRule30Reference, CellsBeyondTheEdgesReadAsTheEdgeCells)
{
    // A live left edge cell is its own left neighbour: 1 XOR 1 leaves it dead. Dead cells
    // beyond the edge would keep it live (1100000), wrapping round would light the right
    // edge (0100001).
    EXPECT_EQ(text(nextGeneration(row("1000000"))), "0100000");
    EXPECT_EQ(text(nextGeneration(row("0000001"))), "0000011");
    EXPECT_EQ(text(nextGeneration(row("1000001"))), "0100011");
    // The fourth generation above reaches both edges.
    EXPECT_EQ(text(nextGeneration(row("1101111"))), "0001000");
    EXPECT_EQ(text(nextGeneration(row("1"))), "0");
    EXPECT_EQ(text(nextGeneration(row("0"))), "0");
}

TEST(CellAutomatonRule30Reference, OnTheProgramsGridTheTriangleWidensOneCellPerGenerationUntilTheEdges)
{
    CellRow seed(800, 0);
    seed[400] = 255;
    const std::vector<CellRow> history = growHistory(seed, 600);
    ASSERT_EQ(history.size(), 600u);
    for (int generation = 0; generation < 400; ++generation) {
        const CellRow& cells = history[generation];
        ASSERT_NE(cells[400 - generation], 0) << "generation " << generation;
        ASSERT_NE(cells[400 + generation], 0) << "generation " << generation;
        for (int column = 0; column < 800; ++column) {
            if (column < 400 - generation || column > 400 + generation) {
                ASSERT_EQ(cells[column], 0) << "generation " << generation << " column " << column;
            }
        }
    }
    // The centre column of Rule 30, a well-known sequence.
    const std::string centre = "1101110011000101100100111";
    for (size_t generation = 0; generation < centre.size(); ++generation)
        EXPECT_EQ(history[generation][400] != 0, centre[generation] == '1') << "generation " << generation;
}

TEST(CellAutomatonRule30Reference, ReadsLiveAndDeadColoursFromAPictureAndCountsOthers)
{
    // Two rows of three pixels, from the top.
    const std::vector<std::uint8_t> rgba = pixels({{255, 191, 0, 255},
                                                   {0, 26, 77, 255},
                                                   {254, 190, 1, 255},
                                                   {0, 25, 76, 255},
                                                   {255, 255, 255, 255},
                                                   {0, 0, 0, 255}});
    int others = -1;
    const std::vector<CellRow> cells = cellsInPicture(rgba, 3, 2, &others);
    ASSERT_EQ(cells.size(), 2u);
    EXPECT_EQ(text(cells[0]), "101");
    EXPECT_EQ(text(cells[1]), "000");
    EXPECT_EQ(others, 2) << "white and black are neither colour";
}

TEST(CellAutomatonRule30Reference, DescribesTheFirstDifferenceAndCountsDifferingRows)
{
    const std::vector<CellRow> expected = {row("010"), row("111"), row("000")};
    EXPECT_EQ(describeDifference(expected, expected), "");
    EXPECT_EQ(describeDifference(expected, {row("010"), row("101"), row("001")}),
              "row 1 column 1: expected live (2 rows differ)");
    EXPECT_EQ(describeDifference(expected, {row("010")}), "3 rows expected, 1 seen");
    // Live is any non-zero byte on either side.
    EXPECT_EQ(describeDifference({{0, 7}}, {{0, 255}}), "");
}
