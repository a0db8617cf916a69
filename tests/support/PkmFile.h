#ifndef TEST_PKM_FILE_H
#define TEST_PKM_FILE_H

#include <cstdint>
#include <string>

// The bytes of a PKM file: "PKM 10", data type 0 (ETC1), the sizes padded to whole 4x4
// blocks, then the payload as given.
std::string pkmFile(int width, int height, const std::string& payload);

// `blocks` copies of one 8-byte ETC1 block that paints all 16 of its pixels with
// (17 * red4 + 2, 17 * green4 + 2, 17 * blue4 + 2), clamped to 255: individual mode, both
// halves the same 4-bit colour, table 0, every pixel index 0 (modifier +2).
std::string solidEtc1Blocks(int red4, int green4, int blue4, int blocks);

// Number of 4x4 blocks covering width x height.
int etcBlockCount(int width, int height);

#endif
