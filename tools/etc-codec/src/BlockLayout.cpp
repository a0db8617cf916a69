#include "BlockLayout.h"

namespace etc {

std::uint64_t readBlockWord(const std::uint8_t* bytes)
{
    std::uint64_t word = 0;
    for (int i = 0; i < 8; ++i) {
        word = (word << 8) | bytes[i];
    }
    return word;
}

void writeBlockWord(std::uint64_t word, std::uint8_t* bytes)
{
    for (int i = 7; i >= 0; --i) {
        bytes[i] = static_cast<std::uint8_t>(word & 0xFF);
        word >>= 8;
    }
}

std::uint64_t packSelectorPlanes(const std::uint8_t* selectors)
{
    std::uint64_t bits = 0;
    for (int i = 0; i < texelsPerBlock; ++i) {
        const int number = storedTexelNumber(i);
        bits |= std::uint64_t{selectors[i] & 1u} << number;
        bits |= std::uint64_t{(selectors[i] >> 1) & 1u} << (number + 16);
    }
    return bits;
}

void unpackSelectorPlanes(std::uint64_t word, std::uint8_t* selectors)
{
    for (int i = 0; i < texelsPerBlock; ++i) {
        const int number = storedTexelNumber(i);
        selectors[i] = static_cast<std::uint8_t>((bitField(word, number + 16, 1) << 1) | bitField(word, number, 1));
    }
}

long rgbBlockError(const PixelBlock& a, const PixelBlock& b, const bool* counted)
{
    long error = 0;
    for (int i = 0; i < texelsPerBlock; ++i) {
        if (counted == nullptr || counted[i]) {
            error += rgbError(a.rgba[i], b.rgba[i][0], b.rgba[i][1], b.rgba[i][2]);
        }
    }
    return error;
}

} // namespace etc
