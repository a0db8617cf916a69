#include "CarouselPictures.h"

#include "Noise.h"
#include "Paint.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace assets {

namespace {

constexpr double size = carouselSize;

std::vector<double> heightField(double (*height)(double, double))
{
    std::vector<double> field(std::size_t(carouselSize) * carouselSize);
    for (int y = 0; y < carouselSize; ++y)
        for (int x = 0; x < carouselSize; ++x)
            field[std::size_t(y) * carouselSize + x] = height(x + 0.5, y + 0.5);
    return field;
}

// Stretches the values to fill `low`..`high`, so the picture uses the whole range.
void normalise(std::vector<double>& values, double low, double high)
{
    auto [minimum, maximum] = std::minmax_element(values.begin(), values.end());
    const double from = *minimum;
    const double span = *maximum - *minimum;
    for (double& v : values)
        v = low + (high - low) * (v - from) / span;
}

etc::Image redChannelImage(const std::vector<double>& values)
{
    return renderData(carouselSize, carouselSize, [&](int x, int y) {
        return Rgba{values[std::size_t(y) * carouselSize + x], 0, 0, 1};
    });
}

double hills(double x, double y)
{
    const double px = x / size * 3.0;
    const double py = y / size * 3.0;
    // Warping the domain turns round blobs of noise into ridges and spurs.
    const double wx = px + 1.2 * fractalNoise(px + 4.1, py + 1.7, 3, 101);
    const double wy = py + 1.2 * fractalNoise(px + 8.3, py + 2.9, 3, 102);
    double h = fractalNoise(wx, wy, 5, 103);
    // A river valley winding down the picture.
    const double river = x - size * (0.5 + 0.18 * std::sin(y / size * 2 * M_PI * 1.3 + 0.6));
    h -= 0.28 * std::exp(-river * river / (2 * 22.0 * 22.0));
    return h;
}

double ripples(double x, double y)
{
    struct Drop {
        double x, y, wavelength, phase, amplitude;
    };
    const Drop drops[] = {
        {0.32 * size, 0.36 * size, 19, 0.0, 1.0},
        {0.72 * size, 0.30 * size, 15, 1.3, 0.8},
        {0.55 * size, 0.76 * size, 23, 2.1, 0.9},
    };
    double h = 0;
    for (const Drop& d : drops) {
        const double r = std::hypot(x - d.x, y - d.y);
        h += d.amplitude * std::sin(2 * M_PI * r / d.wavelength - d.phase) * std::exp(-r / 95.0) *
            smoothstep(0, 10, r + 4);
    }
    return h;
}

// Bricks of 64 x 32 in running bond; height 1 on a brick's face, falling over a bevel into
// the mortar joint at 0, with pitted, weathered faces.
double bricks(double x, double y)
{
    const double brickWidth = 64;
    const double brickHeight = 32;
    const int row = int(std::floor(y / brickHeight));
    const double shifted = x + ((row & 1) ? brickWidth / 2 : 0);
    const int column = int(std::floor(shifted / brickWidth));
    const double bx = shifted - column * brickWidth;
    const double by = y - row * brickHeight;
    const double toEdge = std::min(std::min(bx, brickWidth - bx), std::min(by, brickHeight - by));
    const double joint = 2.0;
    const double bevel = smoothstep(joint, joint + 4.0, toEdge);
    const double rough = fractalNoise(x / 6.0, y / 6.0, 4, 201 + std::uint32_t(row * 7 + column));
    const double tilt = 0.15 * (valueNoise(column * 3.1, row * 2.3, 203) - 0.5) * (bx - brickWidth / 2) / brickWidth;
    const double mortar = 0.08 * fractalNoise(x / 2.0, y / 2.0, 2, 205);
    return toEdge < joint ? mortar : bevel * (0.85 + 0.12 * rough + tilt) + (1 - bevel) * mortar;
}

double signedToUnit(double value) { return clamp01(value * 0.5 + 0.5); }

Rgba landscape(double x, double y)
{
    const double u = x / size;
    const double v = y / size;
    const double horizon = 0.62;
    const auto skyAt = [&](double height) {
        const Rgba zenith = rgb(0x1B2450);
        const Rgba dusk = rgb(0xB8506A);
        const Rgba glow = rgb(0xFFB45A);
        const Rgba haze = rgb(0xFFE7A8);
        const double t = clamp01(height / horizon);
        Rgba sky = t < 0.45 ? mix(zenith, dusk, t / 0.45)
            : t < 0.85      ? mix(dusk, glow, (t - 0.45) / 0.4)
                            : mix(glow, haze, (t - 0.85) / 0.15);
        const double sun = std::hypot(u - 0.64, height - 0.5);
        sky = mix(sky, haze, 0.6 * std::exp(-sun * sun / 0.01));
        if (sun < 0.055)
            sky = mix(rgb(0xFFF6D8), haze, smoothstep(0.045, 0.055, sun));
        const double cloud = smoothstep(0.55, 0.8, fractalNoise(u * 5, height * 14, 4, 301));
        return mix(sky, mix(rgb(0x6E3A5C), rgb(0xFFC68A), smoothstep(0.2, 0.5, height)), cloud * 0.75 * (1 - t * 0.6));
    };
    struct Range {
        double base, height, scale;
        Rgba near, far;
        std::uint32_t seed;
    };
    const Range ranges[] = {
        {0.60, 0.20, 3.0, rgb(0x8F6A93), rgb(0xC98D8E), 311},
        {0.61, 0.14, 5.0, rgb(0x4E3D68), rgb(0x7A5A7E), 312},
        {0.62, 0.08, 9.0, rgb(0x241E3A), rgb(0x3A2E52), 313},
    };
    const auto groundAt = [&](double height, Rgba& colour) {
        for (int i = 2; i >= 0; --i) {
            const Range& r = ranges[i];
            const double ridge = r.base - r.height * fractalNoise(u * r.scale, 0.5 + i, 5, r.seed);
            if (height > ridge) {
                colour = mix(r.far, r.near, smoothstep(ridge, horizon, height));
                return true;
            }
        }
        return false;
    };
    Rgba colour;
    if (v < horizon) {
        if (!groundAt(v, colour))
            colour = skyAt(v);
        return colour;
    }
    // The lake mirrors the scene above the shore, broken up by ripples and darkened with depth.
    const double depth = v - horizon;
    const double ripple = 0.004 * std::sin(v * 420 + 6 * fractalNoise(u * 8, v * 30, 3, 321)) * (0.3 + depth * 4);
    const double mirrored = horizon - depth * 1.1 + ripple;
    if (!groundAt(mirrored, colour))
        colour = skyAt(mirrored);
    const Rgba water = rgb(0x15203A);
    colour = mix(colour, water, 0.3 + 1.3 * depth);
    const double glint = std::exp(-std::pow((u - 0.64) / (0.02 + depth * 0.3), 2)) *
        smoothstep(0.6, 0.9, valueNoise(u * 60, v * 260, 331));
    return mix(colour, rgb(0xFFE0A0), glint * 0.8);
}

Rgba bubbles(double x, double y)
{
    struct Bubble {
        double x, y, radius, hue;
    };
    const Bubble list[] = {
        {0.44 * size, 0.46 * size, 0.30 * size, 0.0},
        {0.78 * size, 0.24 * size, 0.13 * size, 2.1},
        {0.78 * size, 0.78 * size, 0.10 * size, 4.0},
        {0.16 * size, 0.83 * size, 0.08 * size, 1.2},
    };
    Rgba out{0, 0, 0, 0};
    for (const Bubble& b : list) {
        const double r = std::hypot(x - b.x, y - b.y) / b.radius;
        if (r > 1.5)
            continue;
        Rgba c;
        if (r <= 1) {
            // Thin-film interference: the hue sweeps with the film's thickness.
            const double film = b.hue + 5.0 * r * r + 1.5 * fractalNoise(x / 30, y / 30, 3, 401);
            c = {0.55 + 0.45 * std::cos(film), 0.55 + 0.45 * std::cos(film + 2.1), 0.55 + 0.45 * std::cos(film + 4.2),
                 0.12 + 0.78 * std::pow(r, 6)};
            const double spot = std::hypot(x - (b.x - 0.38 * b.radius), y - (b.y - 0.42 * b.radius)) / b.radius;
            const double highlight = std::exp(-spot * spot / 0.012);
            c = mix(c, Rgba{1, 1, 1, 1}, highlight);
        } else {
            const double glow = std::exp(-(r - 1) * (r - 1) / 0.02);
            c = {0.75, 0.9, 1.0, 0.45 * glow};
        }
        // "Over" compositing, in straight alpha.
        const double a = c.a + out.a * (1 - c.a);
        if (a > 0) {
            out = {(c.r * c.a + out.r * out.a * (1 - c.a)) / a, (c.g * c.a + out.g * out.a * (1 - c.a)) / a,
                   (c.b * c.a + out.b * out.a * (1 - c.a)) / a, a};
        }
    }
    return out;
}

Rgba cog(double x, double y)
{
    const double u = x - size / 2;
    const double v = y - size / 2;
    const double r = std::hypot(u, v);
    const double angle = std::atan2(v, u);
    const Rgba transparent{0, 0, 0, 0};
    const int teeth = 12;
    const double toothPhase = std::fmod(angle * teeth / (2 * M_PI) + 100.25, 1.0);
    const double toothProfile = smoothstep(0.0, 0.12, toothPhase) * smoothstep(0.62, 0.5, toothPhase);
    const double outer = 104 + 18 * toothProfile;
    if (r > outer)
        return transparent;
    // Five spokes between the rim and the hub, with round windows between them.
    const int spokes = 5;
    const double spokeAngle = std::fmod(angle * spokes / (2 * M_PI) + 100.0, 1.0) - 0.5;
    const double spokeHalfWidth = 11.0 / std::max(r, 1.0) * spokes / (2 * M_PI);
    const bool inWindowRing = r > 40 && r < 84;
    if (inWindowRing && std::fabs(spokeAngle) > spokeHalfWidth)
        return transparent;
    // Keyed hub: a round bore with a square key slot.
    if (r < 16 || (std::fabs(u) < 5 && v < -10 && v > -22))
        return transparent;
    // Small bolt holes on the hub.
    for (int i = 0; i < spokes; ++i) {
        const double a = (i + 0.5) * 2 * M_PI / spokes;
        if (std::hypot(u - 28 * std::cos(a), v - 28 * std::sin(a)) < 4.5)
            return transparent;
    }
    // Brushed brass: concentric turning marks, lit from the top left, bevelled edges darker.
    const double brushed = 0.9 + 0.1 * valueNoise(r * 1.7, 0.5, 501);
    const double light = 0.75 + 0.25 * std::cos(angle + 2.3);
    const double edge = std::min({outer - r, inWindowRing ? std::min(r - 40, 84 - r) : 99.0, r - 16});
    const double bevel = 0.7 + 0.3 * smoothstep(0, 3.5, edge);
    Rgba brass = mix(rgb(0x8A5A1C), rgb(0xF2CE74), light);
    return scaled(brass, brushed * bevel);
}

} // namespace

etc::Image renderHeightMap()
{
    std::vector<double> heights = heightField(hills);
    normalise(heights, 0.02, 0.98);
    return redChannelImage(heights);
}

etc::Image renderRippleMap()
{
    std::vector<double> heights = heightField(ripples);
    // Centred on zero: scale by the largest swing either way, not by min and max.
    double peak = 0;
    for (double h : heights)
        peak = std::max(peak, std::fabs(h));
    for (double& h : heights)
        h = signedToUnit(0.97 * h / peak);
    return redChannelImage(heights);
}

etc::Image renderBrickNormals()
{
    std::vector<double> heights = heightField(bricks);
    const double strength = 5.0;
    const auto at = [&](int x, int y) {
        x = std::clamp(x, 0, carouselSize - 1);
        y = std::clamp(y, 0, carouselSize - 1);
        return heights[std::size_t(y) * carouselSize + x];
    };
    return renderData(carouselSize, carouselSize, [&](int x, int y) {
        const double dx = (at(x + 1, y) - at(x - 1, y)) * 0.5 * strength;
        const double dy = (at(x, y + 1) - at(x, y - 1)) * 0.5 * strength;
        // Y of the normal points up the picture, against the direction of the rows.
        const double length = std::sqrt(dx * dx + dy * dy + 1);
        return Rgba{signedToUnit(-dx / length), signedToUnit(dy / length), 0, 1};
    });
}

etc::Image renderLandscape() { return renderPicture(carouselSize, carouselSize, 2, landscape); }

etc::Image renderBubbles() { return renderPicture(carouselSize, carouselSize, 2, bubbles); }

etc::Image renderCog()
{
    etc::Image image = renderPicture(carouselSize, carouselSize, 2, cog);
    // Punch-through alpha is one bit: decide each texel by its coverage.
    for (std::size_t i = 3; i < image.rgba.size(); i += 4)
        image.rgba[i] = image.rgba[i] >= 128 ? 255 : 0;
    return image;
}

} // namespace assets
