#include "Etc1Block.h"

namespace etc {

const ModifierTables etc1Modifiers = {
    {2, 8, -2, -8},     {5, 17, -5, -17},   {9, 29, -9, -29},     {13, 42, -13, -42},
    {18, 60, -18, -60}, {24, 80, -24, -80}, {33, 106, -33, -106}, {47, 183, -47, -183},
};

const ModifierTables transparentModifiers = {
    {0, 8, 0, -8},   {0, 17, 0, -17}, {0, 29, 0, -29},   {0, 42, 0, -42},
    {0, 60, 0, -60}, {0, 80, 0, -80}, {0, 106, 0, -106}, {0, 183, 0, -183},
};

namespace {

const int columnHalves[2][texelsPerSubblock] = {
    {0, 1, 4, 5, 8, 9, 12, 13},
    {2, 3, 6, 7, 10, 11, 14, 15},
};
const int rowHalves[2][texelsPerSubblock] = {
    {0, 1, 2, 3, 4, 5, 6, 7},
    {8, 9, 10, 11, 12, 13, 14, 15},
};

int halfOf(bool flip, int rasterIndex) { return flip ? (rasterIndex >= 8 ? 1 : 0) : ((rasterIndex & 3) >= 2 ? 1 : 0); }

} // namespace

const int* subblockTexels(bool flip, int half) { return flip ? rowHalves[half] : columnHalves[half]; }

bool differentialDeltaFits(const Rgb& first, const Rgb& second)
{
    auto fits = [](int delta) { return delta >= -4 && delta <= 3; };
    return fits(second.r - first.r) && fits(second.g - first.g) && fits(second.b - first.b);
}

std::uint64_t packSubblockMode(const SubblockParams& p)
{
    std::uint64_t word = 0;
    if (p.differential) {
        word |= placeField(p.base[0].r, 59, 5) | placeField(p.base[1].r - p.base[0].r, 56, 3);
        word |= placeField(p.base[0].g, 51, 5) | placeField(p.base[1].g - p.base[0].g, 48, 3);
        word |= placeField(p.base[0].b, 43, 5) | placeField(p.base[1].b - p.base[0].b, 40, 3);
    } else {
        word |= placeField(p.base[0].r, 60, 4) | placeField(p.base[1].r, 56, 4);
        word |= placeField(p.base[0].g, 52, 4) | placeField(p.base[1].g, 48, 4);
        word |= placeField(p.base[0].b, 44, 4) | placeField(p.base[1].b, 40, 4);
    }
    word |= placeField(p.table[0], 37, 3) | placeField(p.table[1], 34, 3);
    word |= placeField(p.differential ? 1 : 0, 33, 1) | placeField(p.flip ? 1 : 0, 32, 1);
    return word | packSelectorPlanes(p.selectors);
}

SubblockParams unpackSubblockMode(std::uint64_t word, bool differential)
{
    SubblockParams p;
    p.differential = differential;
    p.flip = bitField(word, 32, 1) != 0;
    if (p.differential) {
        p.base[0] = {static_cast<int>(bitField(word, 59, 5)), static_cast<int>(bitField(word, 51, 5)),
                     static_cast<int>(bitField(word, 43, 5))};
        p.base[1] = {p.base[0].r + signedField(word, 56, 3), p.base[0].g + signedField(word, 48, 3),
                     p.base[0].b + signedField(word, 40, 3)};
    } else {
        p.base[0] = {static_cast<int>(bitField(word, 60, 4)), static_cast<int>(bitField(word, 52, 4)),
                     static_cast<int>(bitField(word, 44, 4))};
        p.base[1] = {static_cast<int>(bitField(word, 56, 4)), static_cast<int>(bitField(word, 48, 4)),
                     static_cast<int>(bitField(word, 40, 4))};
    }
    p.table[0] = static_cast<int>(bitField(word, 37, 3));
    p.table[1] = static_cast<int>(bitField(word, 34, 3));
    unpackSelectorPlanes(word, p.selectors);
    return p;
}

namespace {

// A differential sum outside 0..31 makes no valid ETC1 block (ETC2 reads such bits as other
// modes). GLs decode it from the sum's low eight bits, widened as usual and cut to eight bits.
int extend5OfSum(int sum)
{
    const int low = sum & 0xFF;
    return ((low << 3) | (low >> 2)) & 0xFF;
}

} // namespace

Rgb subblockBaseColor(const SubblockParams& p, int half)
{
    const Rgb& c = p.base[half];
    if (p.differential) {
        return {extend5OfSum(c.r), extend5OfSum(c.g), extend5OfSum(c.b)};
    }
    return {extend4(c.r), extend4(c.g), extend4(c.b)};
}

void decodeSubblockMode(const SubblockParams& p, const ModifierTables& modifiers, PixelBlock& out)
{
    const Rgb bases[2] = {subblockBaseColor(p, 0), subblockBaseColor(p, 1)};
    for (int i = 0; i < texelsPerBlock; ++i) {
        const int half = halfOf(p.flip, i);
        const int modifier = modifiers[p.table[half]][p.selectors[i]];
        out.rgba[i][0] = static_cast<std::uint8_t>(clamp255(bases[half].r + modifier));
        out.rgba[i][1] = static_cast<std::uint8_t>(clamp255(bases[half].g + modifier));
        out.rgba[i][2] = static_cast<std::uint8_t>(clamp255(bases[half].b + modifier));
        out.rgba[i][3] = 255;
    }
}

void decodeEtc1Block(std::uint64_t word, PixelBlock& out)
{
    decodeSubblockMode(unpackSubblockMode(word, bitField(word, 33, 1) != 0), etc1Modifiers, out);
}

} // namespace etc
