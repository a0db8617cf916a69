#ifndef ETC_BENCH_BLOCK_SAMPLE_H
#define ETC_BENCH_BLOCK_SAMPLE_H

#include "EtcCodec.h"

// The blocks a measurement covers. Every block is encoded on its own, so the chosen blocks of
// an image can be laid in one column, one block wide, and encoded as one image: its quality
// and speed are those of the chosen blocks.
namespace bench {

enum class BlockChoice {
    All,
    // Those with (bx + 3 by) % 16 == 0: one block in 16, spread over rows and columns, for
    // searches too slow for whole images.
    EverySixteenth,
};

bool isChosen(BlockChoice choice, int blockX, int blockY);

// The chosen 4 x 4 blocks of the image, in raster order, as a 4-pixel-wide image. Blocks at
// the right and bottom edges repeat the image's last column and row, as the encoder sees them.
etc::Image gatherBlocks(const etc::Image& image, BlockChoice choice);

} // namespace bench

#endif
