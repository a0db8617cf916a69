#ifndef CODEC_TEST_BLOCK_EXPECTATIONS_H
#define CODEC_TEST_BLOCK_EXPECTATIONS_H

#include "BlockLayout.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

// Helpers for the block tests: blocks written byte by byte as they lie in memory, and
// texels addressed by their position in the block.
namespace codectest {

inline std::uint64_t blockWord(const std::array<std::uint8_t, 8>& bytes) { return etc::readBlockWord(bytes.data()); }

inline std::array<int, 4> texelAt(const etc::PixelBlock& block, int x, int y)
{
    const std::uint8_t* t = block.rgba[y * 4 + x];
    return {t[0], t[1], t[2], t[3]};
}

// Fills a block with one texel colour per position, from a function of (x, y).
template <typename ColorOf>
etc::PixelBlock makeBlock(ColorOf colorOf)
{
    etc::PixelBlock block;
    for (int i = 0; i < etc::texelsPerBlock; ++i) {
        const std::array<int, 4> c = colorOf(i & 3, i >> 2);
        for (int k = 0; k < 4; ++k) {
            block.rgba[i][k] = static_cast<std::uint8_t>(c[k]);
        }
    }
    return block;
}

} // namespace codectest

#endif
