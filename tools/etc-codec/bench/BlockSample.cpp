#include "BlockSample.h"

#include <algorithm>
#include <cstddef>

namespace bench {

namespace {

int blocksAcross(int pixels) { return (pixels + 3) / 4; }

void appendBlock(const etc::Image& image, int blockX, int blockY, etc::Image& column)
{
    for (int row = 0; row < 4; ++row) {
        const int y = std::min(blockY * 4 + row, image.height - 1);
        for (int i = 0; i < 4; ++i) {
            const int x = std::min(blockX * 4 + i, image.width - 1);
            const std::ptrdiff_t texel = (static_cast<std::ptrdiff_t>(y) * image.width + x) * 4;
            column.rgba.insert(column.rgba.end(), image.rgba.begin() + texel, image.rgba.begin() + texel + 4);
            if (!image.rgba16.empty()) {
                column.rgba16.insert(column.rgba16.end(), image.rgba16.begin() + texel,
                                     image.rgba16.begin() + texel + 4);
            }
        }
    }
    column.height += 4;
}

} // namespace

bool isChosen(BlockChoice choice, int blockX, int blockY)
{
    return choice == BlockChoice::All || (blockX + 3 * blockY) % 16 == 0;
}

etc::Image gatherBlocks(const etc::Image& image, BlockChoice choice)
{
    etc::Image column;
    column.width = 4;
    for (int by = 0; by < blocksAcross(image.height); ++by) {
        for (int bx = 0; bx < blocksAcross(image.width); ++bx) {
            if (isChosen(choice, bx, by)) {
                appendBlock(image, bx, by, column);
            }
        }
    }
    return column;
}

} // namespace bench
