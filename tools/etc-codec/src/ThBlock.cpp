#include "ThBlock.h"

#include "Etc2ModeBits.h"

namespace etc {

const int thDistances[8] = {3, 6, 11, 16, 23, 32, 41, 64};

namespace {

constexpr std::uint64_t tFreeBits = (std::uint64_t{7} << 61) | (std::uint64_t{1} << 58);
constexpr std::uint64_t hFreeBits = (std::uint64_t{1} << 63) | (std::uint64_t{7} << 53) | (std::uint64_t{1} << 50);

int colorValue(const Rgb& c) { return (c.r << 16) | (c.g << 8) | c.b; }

Rgb extend4(const Rgb& c) { return {etc::extend4(c.r), etc::extend4(c.g), etc::extend4(c.b)}; }

Rgb offset(const Rgb& c, int d) { return {clamp255(c.r + d), clamp255(c.g + d), clamp255(c.b + d)}; }

std::uint64_t packT(const ThParams& p)
{
    std::uint64_t word = placeField(p.color[0].r >> 2, 59, 2) | placeField(p.color[0].r, 56, 2);
    word |= placeField(p.color[0].g, 52, 4) | placeField(p.color[0].b, 48, 4);
    word |= placeField(p.color[1].r, 44, 4) | placeField(p.color[1].g, 40, 4) | placeField(p.color[1].b, 36, 4);
    word |= placeField(p.distance >> 1, 34, 2) | placeField(p.distance, 32, 1);
    word |= placeField(1, 33, 1) | packSelectorPlanes(p.selectors);
    return forceEtc2Mode(word, tFreeBits, Etc2Mode::T);
}

std::uint64_t packH(ThParams p)
{
    const bool firstNotBelow = colorValue(p.color[0]) >= colorValue(p.color[1]);
    if (firstNotBelow != ((p.distance & 1) != 0)) {
        if (p.color[0] == p.color[1]) {
            p.distance |= 1;
        } else {
            std::swap(p.color[0], p.color[1]);
            for (std::uint8_t& s : p.selectors) {
                s ^= 2;
            }
        }
    }
    std::uint64_t word = placeField(p.color[0].r, 59, 4);
    word |= placeField(p.color[0].g >> 1, 56, 3) | placeField(p.color[0].g, 52, 1);
    word |= placeField(p.color[0].b >> 3, 51, 1) | placeField(p.color[0].b, 47, 3);
    word |= placeField(p.color[1].r, 43, 4) | placeField(p.color[1].g, 39, 4) | placeField(p.color[1].b, 35, 4);
    word |= placeField(p.distance >> 2, 34, 1) | placeField(p.distance >> 1, 32, 1);
    word |= placeField(1, 33, 1) | packSelectorPlanes(p.selectors);
    return forceEtc2Mode(word, hFreeBits, Etc2Mode::H);
}

Rgb secondColor(std::uint64_t word, int lowBit)
{
    return {static_cast<int>(bitField(word, lowBit + 8, 4)), static_cast<int>(bitField(word, lowBit + 4, 4)),
            static_cast<int>(bitField(word, lowBit, 4))};
}

} // namespace

void thPaintColors(const Rgb (&colors8)[2], bool hMode, int distance, Rgb (&paint)[4])
{
    const int d = thDistances[distance];
    if (hMode) {
        paint[0] = offset(colors8[0], d);
        paint[1] = offset(colors8[0], -d);
        paint[2] = offset(colors8[1], d);
        paint[3] = offset(colors8[1], -d);
    } else {
        paint[0] = colors8[0];
        paint[1] = offset(colors8[1], d);
        paint[2] = colors8[1];
        paint[3] = offset(colors8[1], -d);
    }
}

std::uint64_t packThMode(const ThParams& params) { return params.hMode ? packH(params) : packT(params); }

ThParams unpackTMode(std::uint64_t word)
{
    ThParams p;
    p.hMode = false;
    p.color[0] = {static_cast<int>((bitField(word, 59, 2) << 2) | bitField(word, 56, 2)),
                  static_cast<int>(bitField(word, 52, 4)), static_cast<int>(bitField(word, 48, 4))};
    p.color[1] = secondColor(word, 36);
    p.distance = static_cast<int>((bitField(word, 34, 2) << 1) | bitField(word, 32, 1));
    unpackSelectorPlanes(word, p.selectors);
    return p;
}

ThParams unpackHMode(std::uint64_t word)
{
    ThParams p;
    p.hMode = true;
    p.color[0] = {static_cast<int>(bitField(word, 59, 4)),
                  static_cast<int>((bitField(word, 56, 3) << 1) | bitField(word, 52, 1)),
                  static_cast<int>((bitField(word, 51, 1) << 3) | bitField(word, 47, 3))};
    p.color[1] = secondColor(word, 35);
    const int lowBit = colorValue(p.color[0]) >= colorValue(p.color[1]) ? 1 : 0;
    p.distance = static_cast<int>((bitField(word, 34, 1) << 2) | (bitField(word, 32, 1) << 1)) | lowBit;
    unpackSelectorPlanes(word, p.selectors);
    return p;
}

void decodeThMode(const ThParams& p, PixelBlock& out)
{
    const Rgb colors8[2] = {extend4(p.color[0]), extend4(p.color[1])};
    Rgb paint[4];
    thPaintColors(colors8, p.hMode, p.distance, paint);
    for (int i = 0; i < texelsPerBlock; ++i) {
        const Rgb& c = paint[p.selectors[i]];
        out.rgba[i][0] = static_cast<std::uint8_t>(c.r);
        out.rgba[i][1] = static_cast<std::uint8_t>(c.g);
        out.rgba[i][2] = static_cast<std::uint8_t>(c.b);
        out.rgba[i][3] = 255;
    }
}

} // namespace etc
