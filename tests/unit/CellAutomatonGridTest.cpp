#include "CellGrid.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

using namespace CellAutomaton;

namespace {

std::string capturedStderr(void (*write)())
{
    testing::internal::CaptureStderr();
    write();
    return testing::internal::GetCapturedStderr();
}

} // namespace

TEST(CellAutomatonGrid, SeedCellIsColumn400OfTheTopRowAndNothingElse)
{
    std::vector<unsigned char> grid(gridWidth * gridHeight, deadCell);
    placeSeedCell(grid.data());
    EXPECT_EQ(grid[479600], liveCell);
    int live = 0;
    for (unsigned char cell : grid)
        live += cell != deadCell;
    EXPECT_EQ(live, 1);
}

TEST(CellAutomatonGrid, RandomRowLivesExactlyWhereRandIsEvenInTheTopRowOnly)
{
    const int width = 800, height = 600;
    srand(4242);
    std::vector<int> values(width);
    for (int& value : values)
        value = rand();

    std::vector<unsigned char> grid(width * height, 7);
    unsigned char* data = grid.data();
    srand(4242);
    fillRandomRow(width, height, 1, &data);

    int live = 0;
    for (int column = 0; column < width; ++column) {
        const unsigned char expected = values[column] % 2 == 0 ? liveCell : 7;
        ASSERT_EQ(grid[(height - 1) * width + column], expected) << "column " << column;
        live += expected == liveCell;
    }
    for (int index = 0; index < (height - 1) * width; ++index)
        ASSERT_EQ(grid[index], 7) << "byte " << index << " below the top row";
    // Both outcomes occur, so neither branch is taken always.
    EXPECT_GT(live, 300);
    EXPECT_LT(live, 500);
    const int next = rand();
    srand(4242);
    for (int column = 0; column < width; ++column)
        rand();
    EXPECT_EQ(next, rand()) << "one rand() call per column";
}

TEST(CellAutomatonGrid, RandomRowWritesWholeCellsOfCellSizeBytes)
{
    // Four cells of three bytes in the top row of a 4 x 2 grid.
    srand(99);
    bool even[4];
    for (bool& isEven : even)
        isEven = rand() % 2 == 0;

    std::vector<unsigned char> grid(4 * 2 * 3, 1);
    unsigned char* data = grid.data();
    srand(99);
    fillRandomRow(4, 2, 3, &data);
    for (int cell = 0; cell < 4; ++cell)
        for (int byte = 0; byte < 3; ++byte)
            EXPECT_EQ(grid[3 * (cell + 4) + byte], even[cell] ? liveCell : 1) << "cell " << cell;
    for (int byte = 0; byte < 12; ++byte)
        EXPECT_EQ(grid[byte], 1) << "bottom row byte " << byte;
}

TEST(CellAutomatonGrid, NullBufferAddressIsReportedAndSetsNothing)
{
    srand(5);
    const int expectedNext = rand();
    srand(5);
    EXPECT_EQ(capturedStderr([] { fillRandomRow(800, 600, 1, nullptr); }), "Error: Null data passed\n");
    EXPECT_EQ(rand(), expectedNext) << "no rand() call for a null address";
}

TEST(CellAutomatonGrid, NullBufferIsReportedInsteadOfWrittenThrough)
{
    EXPECT_EQ(capturedStderr([] {
                  unsigned char* data = nullptr;
                  fillRandomRow(800, 600, 1, &data);
              }),
              "Error: Null data passed\n");
}
