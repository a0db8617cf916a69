#include "ColourBleed.h"

#include <array>
#include <utility>
#include <vector>

namespace texops {

etc::Image bleedColourIntoTransparent(const etc::Image& image)
{
    etc::Image out = image;
    out.rgba16.clear(); // the bled colours exist in 8 bits only
    const int width = image.width;
    const int height = image.height;
    std::vector<bool> known(std::size_t(width) * height);
    std::vector<int> pending;
    for (std::size_t i = 0; i < known.size(); ++i) {
        known[i] = image.rgba[i * 4 + 3] != 0;
        if (!known[i])
            pending.push_back(int(i));
    }

    // Each ring reads only texels known before it started, so the result does not depend
    // on the order in which a ring is visited.
    std::vector<std::pair<int, std::array<int, 3>>> ring;
    while (!pending.empty()) {
        ring.clear();
        std::vector<int> stillPending;
        for (int index : pending) {
            const int x = index % width;
            const int y = index / width;
            int sum[3] = {0, 0, 0};
            int count = 0;
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    const int nx = x + dx;
                    const int ny = y + dy;
                    if (nx < 0 || ny < 0 || nx >= width || ny >= height)
                        continue;
                    const std::size_t n = std::size_t(ny) * width + nx;
                    if (!known[n])
                        continue;
                    for (int c = 0; c < 3; ++c)
                        sum[c] += out.rgba[n * 4 + c];
                    ++count;
                }
            }
            if (count == 0) {
                stillPending.push_back(index);
                continue;
            }
            ring.push_back(
                {index, {(sum[0] + count / 2) / count, (sum[1] + count / 2) / count, (sum[2] + count / 2) / count}});
        }
        if (ring.empty())
            break;
        for (const auto& [index, colour] : ring) {
            for (int c = 0; c < 3; ++c)
                out.rgba[std::size_t(index) * 4 + c] = std::uint8_t(colour[c]);
            known[index] = true;
        }
        pending.swap(stillPending);
    }
    return out;
}

} // namespace texops
