#include "PkmFile.h"

namespace {

void appendBigEndian16(std::string& bytes, int value)
{
    bytes.push_back(static_cast<char>((value >> 8) & 0xFF));
    bytes.push_back(static_cast<char>(value & 0xFF));
}

int paddedToBlocks(int size) { return (size + 3) / 4 * 4; }

} // namespace

std::string pkmFile(int width, int height, const std::string& payload)
{
    std::string bytes = "PKM 10";
    appendBigEndian16(bytes, 0);
    appendBigEndian16(bytes, paddedToBlocks(width));
    appendBigEndian16(bytes, paddedToBlocks(height));
    appendBigEndian16(bytes, width);
    appendBigEndian16(bytes, height);
    return bytes + payload;
}

std::string solidEtc1Blocks(int red4, int green4, int blue4, int blocks)
{
    const char block[8] = {
        static_cast<char>(red4 << 4 | red4),
        static_cast<char>(green4 << 4 | green4),
        static_cast<char>(blue4 << 4 | blue4),
        0, // tables 0 and 0, individual mode, no flip
        0,
        0,
        0,
        0,
    };
    std::string bytes;
    for (int i = 0; i < blocks; ++i)
        bytes.append(block, sizeof(block));
    return bytes;
}

int etcBlockCount(int width, int height) { return paddedToBlocks(width) / 4 * (paddedToBlocks(height) / 4); }
