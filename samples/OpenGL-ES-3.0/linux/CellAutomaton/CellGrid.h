#ifndef CELL_AUTOMATON_CELL_GRID_H
#define CELL_AUTOMATON_CELL_GRID_H

// The host side of the cell grid: one unsigned byte per cell, rows from the bottom, the
// seed in the top row (height - 1), as the cell textures hold it.
namespace CellAutomaton {

constexpr int gridWidth = 800;
constexpr int gridHeight = 600;
constexpr unsigned char deadCell = 0;
constexpr unsigned char liveCell = 255;

// Makes the single live cell that the first picture grows from: column 400 of the top row.
void placeSeedCell(unsigned char* grid);

// Fills the top row of the grid *data points to with rand(): one call per column, left to
// right, and the column's cellSize bytes become live when the value is even. Other bytes
// are not touched. A null address (or a null buffer) is reported and nothing is set.
void fillRandomRow(int width, int height, int cellSize, unsigned char** data);

} // namespace CellAutomaton

#endif
