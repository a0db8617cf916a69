#ifndef ETC_BLOCK_LAYOUT_H
#define ETC_BLOCK_LAYOUT_H

#include <algorithm>
#include <cstdint>

// Layout facts shared by every ETC and EAC block: 64-bit words stored big-endian, texels
// numbered column by column inside a block, and the bit widths of stored colours.
namespace etc {

constexpr int texelsPerBlock = 16;

// Texels of a 4 x 4 block in raster order (index y * 4 + x), 8-bit RGBA.
struct PixelBlock {
    std::uint8_t rgba[texelsPerBlock][4];
};

struct Rgb {
    int r = 0;
    int g = 0;
    int b = 0;
};

inline bool operator==(const Rgb& a, const Rgb& b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

// Per-texel bits and indices are stored in column order: texel (x, y) is number x * 4 + y.
constexpr int storedTexelNumber(int rasterIndex) { return (rasterIndex & 3) * 4 + (rasterIndex >> 2); }

std::uint64_t readBlockWord(const std::uint8_t* bytes);
void writeBlockWord(std::uint64_t word, std::uint8_t* bytes);

// The 2-bit selectors (msb * 2 + lsb, raster order) of the colour modes: lsb planes in bits
// 0-15, msb planes in bits 16-31.
std::uint64_t packSelectorPlanes(const std::uint8_t* selectors);
void unpackSelectorPlanes(std::uint64_t word, std::uint8_t* selectors);

inline unsigned bitField(std::uint64_t word, int lowBit, int width)
{
    return static_cast<unsigned>((word >> lowBit) & ((std::uint64_t{1} << width) - 1));
}

inline std::uint64_t placeField(unsigned value, int lowBit, int width)
{
    return (std::uint64_t{value} & ((std::uint64_t{1} << width) - 1)) << lowBit;
}

// A width-bit two's-complement field as a signed value.
inline int signedField(std::uint64_t word, int lowBit, int width)
{
    const int value = static_cast<int>(bitField(word, lowBit, width));
    return value >= (1 << (width - 1)) ? value - (1 << width) : value;
}

inline int clamp255(int value) { return std::clamp(value, 0, 255); }

// Stored colour components widen to 8 bits by repeating their top bits below.
constexpr int extend4(int v) { return (v << 4) | v; }
constexpr int extend5(int v) { return (v << 3) | (v >> 2); }
constexpr int extend6(int v) { return (v << 2) | (v >> 4); }
constexpr int extend7(int v) { return (v << 1) | (v >> 6); }

inline int squared(int v) { return v * v; }

inline int rgbError(const std::uint8_t* texel, int r, int g, int b)
{
    return squared(texel[0] - r) + squared(texel[1] - g) + squared(texel[2] - b);
}

// Sum of squared RGB differences over the texels `counted` accepts (null: all).
long rgbBlockError(const PixelBlock& a, const PixelBlock& b, const bool* counted);

} // namespace etc

#endif
