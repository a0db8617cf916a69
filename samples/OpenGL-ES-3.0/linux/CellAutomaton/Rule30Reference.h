#ifndef CELL_AUTOMATON_RULE30_REFERENCE_H
#define CELL_AUTOMATON_RULE30_REFERENCE_H

#include <cstdint>
#include <string>
#include <vector>

// Rule 30 on the CPU, with the edge rule of the GPU passes, and the reading of cells back
// from a picture that the merge pass drew: the tests' reference for what the program shows.
// A row is one byte per cell, 0 dead and anything else live.
namespace CellAutomaton {

using CellRow = std::vector<std::uint8_t>;

// The next generation of a row: new = left XOR (centre OR right), where cells beyond the
// left and right edges read as the edge cells themselves. Cells come out as 0 or 255.
CellRow nextGeneration(const CellRow& row);

// The seed and the generations grown from it: rowCount rows, history[0] is the seed and
// history[i] generation i, which is how the picture shows them from the top down.
std::vector<CellRow> growHistory(const CellRow& seed, int rowCount);

// The cells of an RGBA picture, rows from the top: 255 for the live colour (amber), 0 for
// the dead colour (dark blue). Pixels of neither colour count as dead and are counted in
// *otherPixels.
std::vector<CellRow> cellsInPicture(const std::vector<std::uint8_t>& rgbaFromTop, int width, int height,
                                    int* otherPixels);

// Empty when both histories hold the same live and dead cells, otherwise the first
// differing cell and the number of differing rows.
std::string describeDifference(const std::vector<CellRow>& expected, const std::vector<CellRow>& actual);

} // namespace CellAutomaton

#endif
