#include "CellGrid.h"

#include "Diagnostics.h"

#include <cstdlib>
#include <cstring>

namespace CellAutomaton {

namespace {

constexpr int seedColumn = 400;

} // namespace

void placeSeedCell(unsigned char* grid) { grid[(gridHeight - 1) * gridWidth + seedColumn] = liveCell; }

void fillRandomRow(int width, int height, int cellSize, unsigned char** data)
{
    if (data == nullptr || *data == nullptr) {
        KorvoSDK::logError("Null data passed");
        return;
    }
    const size_t topRow = static_cast<size_t>(width) * static_cast<size_t>(height - 1);
    for (int column = 0; column < width; ++column) {
        if (rand() % 2 == 0)
            memset(*data + static_cast<size_t>(cellSize) * (column + topRow), liveCell, static_cast<size_t>(cellSize));
    }
}

} // namespace CellAutomaton
