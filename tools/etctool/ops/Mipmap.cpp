#include "Mipmap.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace texops {

namespace {

struct Tap {
    int source;
    int weight;
};

// Source texels under each destination texel, with integer weights that sum to `source`
// length: destination i spans [i * from, (i + 1) * from) and source j spans
// [j * to, (j + 1) * to) in units of 1 / (from * to) of the row.
std::vector<std::vector<Tap>> boxTaps(int from, int to)
{
    std::vector<std::vector<Tap>> taps(to);
    for (int i = 0; i < to; ++i) {
        long begin = long(i) * from;
        long end = begin + from;
        for (int j = int(begin / to); j < from && long(j) * to < end; ++j) {
            long overlap = std::min(end, long(j + 1) * to) - std::max(begin, long(j) * to);
            if (overlap > 0)
                taps[i].push_back({j, int(overlap)});
        }
    }
    return taps;
}

double srgbToLinear(double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); }

struct SrgbTables {
    std::array<double, 256> linear;
    // Linear value half-way between code c and c + 1: the rounding boundaries.
    std::array<double, 255> boundary;
};

const SrgbTables& srgbTables()
{
    static const SrgbTables tables = [] {
        SrgbTables t;
        for (int c = 0; c < 256; ++c)
            t.linear[c] = srgbToLinear(c / 255.0);
        for (int c = 0; c < 255; ++c)
            t.boundary[c] = srgbToLinear((c + 0.5) / 255.0);
        return t;
    }();
    return tables;
}

double decode(std::uint8_t value, bool srgb) { return srgb ? srgbTables().linear[value] : value; }

std::uint8_t encode(double value, bool srgb)
{
    if (srgb) {
        const auto& b = srgbTables().boundary;
        return std::uint8_t(std::upper_bound(b.begin(), b.end(), value) - b.begin());
    }
    return std::uint8_t(std::clamp(std::lround(value), 0L, 255L));
}

} // namespace

int mipmapLevelCount(int width, int height)
{
    int levels = 1;
    while (width > 1 || height > 1) {
        width = std::max(1, width / 2);
        height = std::max(1, height / 2);
        ++levels;
    }
    return levels;
}

etc::Image halveImage(const etc::Image& image, ColourSpace space)
{
    etc::Image out;
    out.width = std::max(1, image.width / 2);
    out.height = std::max(1, image.height / 2);
    out.rgba.resize(std::size_t(out.width) * out.height * 4);
    const auto xTaps = boxTaps(image.width, out.width);
    const auto yTaps = boxTaps(image.height, out.height);
    const double total = double(image.width) * image.height;
    const bool srgb = space == ColourSpace::Srgb;

    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x) {
            double sum[4] = {0, 0, 0, 0};
            for (const Tap& ty : yTaps[y]) {
                for (const Tap& tx : xTaps[x]) {
                    const std::uint8_t* p = &image.rgba[(std::size_t(ty.source) * image.width + tx.source) * 4];
                    double w = double(tx.weight) * ty.weight;
                    for (int c = 0; c < 4; ++c)
                        sum[c] += w * decode(p[c], srgb && c < 3);
                }
            }
            std::uint8_t* q = &out.rgba[(std::size_t(y) * out.width + x) * 4];
            for (int c = 0; c < 4; ++c)
                q[c] = encode(sum[c] / total, srgb && c < 3);
        }
    }
    return out;
}

std::vector<etc::Image> buildMipmapChain(const etc::Image& base, ColourSpace space)
{
    std::vector<etc::Image> chain{base};
    while (chain.back().width > 1 || chain.back().height > 1)
        chain.push_back(halveImage(chain.back(), space));
    return chain;
}

} // namespace texops
