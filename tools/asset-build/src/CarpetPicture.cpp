#include "CarpetPicture.h"

#include "Noise.h"
#include "Paint.h"
#include "Prng.h"

#include <cmath>

namespace assets {

namespace {

// Palette of natural dyes.
const Rgba crimson = rgb(0x8C1C1E);
const Rgba madder = rgb(0xB23A2A);
const Rgba navy = rgb(0x1E2C55);
const Rgba indigo = rgb(0x35528A);
const Rgba skyBlue = rgb(0x7A9CC4);
const Rgba gold = rgb(0xD8A33E);
const Rgba ivory = rgb(0xEADCBD);
const Rgba green = rgb(0x3E6B48);
const Rgba walnut = rgb(0x2E1C12);
const Rgba foundation = rgb(0xC4AE8C);
const Rgba transparent = {0, 0, 0, 0};

// The knotted body; the fringes lie outside it to the left and right.
constexpr double centreX = 256;
constexpr double centreY = 128;
constexpr double bodyHalfWidth = 214;
constexpr double bodyHalfHeight = 116;
constexpr double fieldInset = 35;

struct Hole {
    double x, y, radius;
};

const Hole holes[] = {
    {150, 80, 10}, {352, 174, 7}, {303, 50, 4.5}, {96, 204, 5.5}, {214, 245, 11}, {430, 12, 8},
};

// Pile knots are about two pixels square: each a little brighter in the middle, each with
// its own slight variation of dye.
double knotShade(double x, double y)
{
    const int kx = int(std::floor(x / 2));
    const int ky = int(std::floor(y / 2));
    const double fx = x / 2 - kx - 0.5;
    const double fy = y / 2 - ky - 0.5;
    return (0.9 + 0.12 * latticeUnit(kx, ky, 11)) * (1.0 - 0.35 * (fx * fx + fy * fy));
}

// Rows of one dye lot differ a little from the next ("abrash"), and the pile is worn
// down in places to the lighter foundation.
Rgba ageing(const Rgba& colour, double x, double y)
{
    const double abrash = 0.93 + 0.12 * valueNoise(x / 90.0, y / 9.0, 3);
    Rgba c = scaled(colour, abrash * knotShade(x, y));
    const double wear = smoothstep(0.68, 0.8, fractalNoise(x / 40.0, y / 40.0, 5, 5));
    return mix(c, mix(c, foundation, 0.4), wear * 0.35);
}

double edgeWobble(double along, std::uint32_t seed) { return 2.4 * (valueNoise(along / 16.0, 0.5, seed) - 0.5); }

// Stepped lozenge distance: coordinates snap to the knot grid in steps of `step` pixels,
// which gives the staircase outlines of knotted geometric designs.
double steppedLozenge(double u, double v, double halfWidth, double halfHeight, double step = 4)
{
    const double su = std::floor(std::fabs(u) / step) * step;
    const double sv = std::floor(std::fabs(v) / step) * step;
    return su / halfWidth + sv / halfHeight;
}

Rgba medallionColour(double d)
{
    if (d < 0.12)
        return gold;
    if (d < 0.2)
        return madder;
    if (d < 0.28)
        return ivory;
    if (d < 0.36)
        return navy;
    if (d < 0.41)
        return skyBlue;
    if (d < 0.55)
        return navy;
    if (d < 0.6)
        return gold;
    if (d < 0.7)
        return green;
    return ivory;
}

double medallionDistance(double u, double v) { return steppedLozenge(u, v, 150, 74); }

double pendantDistance(double u, double v) { return steppedLozenge(std::fabs(u) - 163, v, 16, 14); }

double cornerDistance(double u, double v)
{
    const double fieldHalfWidth = bodyHalfWidth - fieldInset;
    const double fieldHalfHeight = bodyHalfHeight - fieldInset;
    return steppedLozenge(fieldHalfWidth - std::fabs(u), fieldHalfHeight - std::fabs(v), 64, 40);
}

// Small stepped diamonds strewn over the free parts of the field on a staggered lattice;
// a motif is drawn whole or not at all.
bool fieldMotif(double u, double v, Rgba& colour)
{
    const double pitchX = 28;
    const double pitchY = 20;
    const int row = int(std::floor(v / pitchY + 0.5));
    const double shift = (row & 1) ? pitchX / 2 : 0;
    const int column = int(std::floor((u - shift) / pitchX + 0.5));
    const double cu = shift + column * pitchX;
    const double cv = row * pitchY;
    if (medallionDistance(cu, cv) < 0.9 || cornerDistance(cu, cv) < 1.25 || pendantDistance(cu, cv) < 1.6)
        return false;
    const double d = steppedLozenge(u - cu, v - cv, 8, 7, 2);
    if (d >= 1)
        return false;
    // Mirror-symmetric choice of dye, as the design is symmetric about both axes.
    const std::uint32_t pick = hashLattice(std::abs(column * 2 + (row & 1)), std::abs(row), 23) % 3;
    const Rgba inner = pick == 0 ? gold : pick == 1 ? skyBlue : green;
    colour = d < 0.5 ? inner : ivory;
    return true;
}

Rgba fieldColour(double u, double v)
{
    const double medallion = medallionDistance(u, v);
    if (medallion < 0.75)
        return medallionColour(medallion);
    const double pendant = pendantDistance(u, v);
    if (pendant < 1)
        return pendant < 0.4 ? gold : navy;
    const double corner = cornerDistance(u, v);
    if (corner < 1)
        return corner < 0.22 ? madder : corner < 0.4 ? gold : corner < 0.86 ? navy : ivory;
    Rgba motif;
    if (fieldMotif(u, v, motif))
        return motif;
    return crimson;
}

// Rosettes joined by a meandering vine, repeated every 24 pixels along the band.
Rgba borderColour(double along, double across)
{
    const double m = std::fmod(std::fabs(along) + 12.0, 24.0) - 12.0;
    const double q = across;
    const double r = std::hypot(m, q);
    const double angle = std::atan2(q, m);
    if (r < 2.5)
        return madder;
    if (r < 6.5 + 1.8 * std::cos(8 * angle))
        return gold;
    const double between = std::fabs(std::fabs(m) - 12.0);
    if (between + std::fabs(q) < 3.5)
        return ivory;
    if (std::fabs(q - 6.0 * std::sin(along * 2 * M_PI / 48.0)) < 1.0)
        return skyBlue;
    return navy;
}

Rgba bandColour(double u, double v, double fromSide, double fromEnd)
{
    const bool longSide = fromSide < fromEnd;
    const double e = longSide ? fromSide : fromEnd;
    const double along = longSide ? u : v;
    if (e < 3) {
        // Overcast selvedge: the binding thread wraps the edge diagonally.
        const double stitch = std::fmod(along + e + 1000.0, 3.0) < 1.5 ? 1.0 : 0.8;
        return scaled(walnut, stitch);
    }
    if (e < 5 || (e >= 27 && e < 29) || (e >= 33 && e < 35))
        return ivory;
    if (e < 27)
        return borderColour(along, e - 16);
    const double dot = std::fmod(std::fabs(along) + 3.0, 6.0) - 3.0;
    return std::hypot(dot, e - 31) < 1.3 ? madder : gold;
}

double holeRadius(const Hole& hole, double angle, int index)
{
    const double n = valueNoise(1.6 * std::cos(angle) + 7.0 * index, 1.6 * std::sin(angle) + 3.0, 31);
    return hole.radius * (0.7 + 0.6 * n);
}

// Inside a hole only a few foundation threads remain; around it the pile is frayed.
Rgba applyHoles(const Rgba& colour, double x, double y)
{
    Rgba c = colour;
    for (int i = 0; i < int(sizeof holes / sizeof holes[0]); ++i) {
        const Hole& hole = holes[i];
        const double dx = x - hole.x;
        const double dy = y - hole.y;
        const double distance = std::hypot(dx, dy);
        if (distance > hole.radius * 1.8)
            continue;
        const double relative = distance / holeRadius(hole, std::atan2(dy, dx), i);
        if (relative < 1) {
            const int thread = int(std::floor(y / 5));
            const bool remains = std::fmod(y, 5.0) < 1.3 && latticeUnit(thread, i, 41) < 0.45;
            c = remains ? Rgba{foundation.r, foundation.g, foundation.b, 0.85} : transparent;
        } else {
            const double fray = relative + 0.35 * (valueNoise(x / 1.5, y / 1.5, 43) - 0.5);
            const double t = smoothstep(1.0, 1.4, fray);
            c = mix(Rgba{foundation.r, foundation.g, foundation.b, 0}, c, t);
            c.a = std::fmin(colour.a, smoothstep(0.95, 1.2, fray));
        }
    }
    return c;
}

// Loose warp threads: groups of four knotted together near the body, each thread a
// little wavy, of its own length, its end fraying out to nothing.
Rgba fringeColour(double x, double y, double bodyEdgeX, double outward)
{
    const double t = (x - bodyEdgeX) * outward; // distance from the body
    const double top = centreY - bodyHalfHeight + 2;
    const double bottom = centreY + bodyHalfHeight - 2;
    if (y < top || y > bottom || t < 0)
        return transparent;
    const double pitch = 3.0;
    const int thread = int(std::floor((y - top) / pitch));
    const int side = outward > 0 ? 1 : 0;
    const double length = 20 + 11 * latticeUnit(thread, side, 51);
    const double wave = 0.55 * std::sin(t * 0.33 + thread * 1.7);
    const double centre = top + (thread + 0.5) * pitch + wave;
    const double across = std::fabs(y - centre);
    double alpha = smoothstep(0.95, 0.55, across) * smoothstep(length, length - 7, t);
    const double groupCentre = top + (std::floor(thread / 4.0) * 4 + 2) * pitch;
    const bool knot = std::hypot((t - 5.5) / 1.4, (y - groupCentre) / 3.2) < 1;
    if (knot)
        alpha = 1;
    if (alpha <= 0)
        return transparent;
    Rgba c = scaled(ivory, (0.82 + 0.18 * latticeUnit(thread, side, 53)) * (knot ? 0.85 : 1.0));
    c = mix(c, foundation, smoothstep(length * 0.5, length, t) * 0.6);
    c.a = alpha * 0.95;
    return c;
}

Rgba carpetSample(double x, double y)
{
    const double u = x - centreX;
    const double v = y - centreY;
    const double sideX = bodyHalfWidth + edgeWobble(y, u < 0 ? 61 : 62);
    const double sideY = bodyHalfHeight + 0.6 * edgeWobble(x, v < 0 ? 63 : 64);
    const double fromEnd = sideX - std::fabs(u);
    const double fromSide = sideY - std::fabs(v);
    if (fromSide < 0)
        return transparent;
    if (fromEnd < 0) {
        const double outward = u < 0 ? -1 : 1;
        return fringeColour(x, y, centreX + outward * sideX, outward);
    }
    Rgba colour = std::fmin(fromSide, fromEnd) < fieldInset ? bandColour(u, v, fromSide, fromEnd) : fieldColour(u, v);
    return applyHoles(ageing(colour, x, y), x, y);
}

} // namespace

etc::Image renderCarpet() { return renderPicture(carpetWidth, carpetHeight, 2, carpetSample); }

} // namespace assets
