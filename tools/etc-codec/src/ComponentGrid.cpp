#include "ComponentGrid.h"

#include "BlockLayout.h"

#include <array>
#include <cstdlib>

namespace etc {

namespace {

struct NearestCodes {
    std::array<std::array<unsigned char, 256>, 4> table{};

    NearestCodes()
    {
        for (int bits = 4; bits <= 7; ++bits) {
            int code = 0;
            for (int value = 0; value < 256; ++value) {
                const int last = (1 << bits) - 1;
                while (code < last &&
                       std::abs(gridValue(bits, code + 1) - value) <= std::abs(gridValue(bits, code) - value)) {
                    ++code;
                }
                table[bits - 4][value] = static_cast<unsigned char>(code);
            }
        }
    }
};

const NearestCodes& nearestCodes()
{
    static const NearestCodes codes;
    return codes;
}

} // namespace

int nearestCode(int bits, int value) { return nearestCodes().table[bits - 4][clamp255(value)]; }

} // namespace etc
