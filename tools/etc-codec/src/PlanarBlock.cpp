#include "PlanarBlock.h"

#include "Etc2ModeBits.h"

namespace etc {

namespace {

constexpr std::uint64_t planarFreeBits =
    (std::uint64_t{1} << 63) | (std::uint64_t{1} << 55) | (std::uint64_t{7} << 45) | (std::uint64_t{1} << 42);

Rgb extend676(const Rgb& c) { return {extend6(c.r), extend7(c.g), extend6(c.b)}; }

} // namespace

std::uint64_t packPlanarMode(const PlanarParams& p)
{
    std::uint64_t word = placeField(p.origin.r, 57, 6);
    word |= placeField(p.origin.g >> 6, 56, 1) | placeField(p.origin.g, 49, 6);
    word |= placeField(p.origin.b >> 5, 48, 1) | placeField(p.origin.b >> 3, 43, 2) | placeField(p.origin.b, 39, 3);
    word |= placeField(p.horizontal.r >> 1, 34, 5) | placeField(p.horizontal.r, 32, 1);
    word |= placeField(p.horizontal.g, 25, 7) | placeField(p.horizontal.b, 19, 6);
    word |= placeField(p.vertical.r, 13, 6) | placeField(p.vertical.g, 6, 7) | placeField(p.vertical.b, 0, 6);
    word |= placeField(1, 33, 1);
    return forceEtc2Mode(word, planarFreeBits, Etc2Mode::Planar);
}

PlanarParams unpackPlanarMode(std::uint64_t word)
{
    PlanarParams p;
    p.origin = {static_cast<int>(bitField(word, 57, 6)),
                static_cast<int>((bitField(word, 56, 1) << 6) | bitField(word, 49, 6)),
                static_cast<int>((bitField(word, 48, 1) << 5) | (bitField(word, 43, 2) << 3) | bitField(word, 39, 3))};
    p.horizontal = {static_cast<int>((bitField(word, 34, 5) << 1) | bitField(word, 32, 1)),
                    static_cast<int>(bitField(word, 25, 7)), static_cast<int>(bitField(word, 19, 6))};
    p.vertical = {static_cast<int>(bitField(word, 13, 6)), static_cast<int>(bitField(word, 6, 7)),
                  static_cast<int>(bitField(word, 0, 6))};
    return p;
}

void decodePlanarMode(const PlanarParams& p, PixelBlock& out)
{
    const Rgb o = extend676(p.origin);
    const Rgb h = extend676(p.horizontal);
    const Rgb v = extend676(p.vertical);
    for (int i = 0; i < texelsPerBlock; ++i) {
        const int x = i & 3;
        const int y = i >> 2;
        out.rgba[i][0] = static_cast<std::uint8_t>(planarValue(o.r, h.r, v.r, x, y));
        out.rgba[i][1] = static_cast<std::uint8_t>(planarValue(o.g, h.g, v.g, x, y));
        out.rgba[i][2] = static_cast<std::uint8_t>(planarValue(o.b, h.b, v.b, x, y));
        out.rgba[i][3] = 255;
    }
}

} // namespace etc
