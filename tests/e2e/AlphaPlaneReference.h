#ifndef ALPHA_PLANE_REFERENCE_H
#define ALPHA_PLANE_REFERENCE_H

#include "AlphaPlaneFixture.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// What the three programs should show, computed on the CPU from the files in their assets/
// folders with the project's own ETC decoder.

// A rectangle of whole pixels, rows from the top of the window.
struct PixelRectangle {
    int x, y, width, height;
    bool contains(int px, int py) const { return px >= x && px < x + width && py >= y && py < y + height; }
};

// The nine quads in the 640 x 480 window, and the exact height of each in pixels (the
// vertices put their bottom edges a little below whole pixels).
extern const std::array<PixelRectangle, 9> quadRectangles;
double quadExactHeight(int quad);

// One mipmap level of an image with its alpha, 8 bits per channel, rows from the top.
struct Level {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
    std::vector<double> alpha; // 0..255; GL-generated levels are averages, not whole steps
};

// A program's picture source: colour and alpha level by level, as its shaders sample them
// (quad q samples level q + 1, the level of its own size).
struct ProgramPicture {
    std::vector<Level> levels;
};

ProgramPicture packedAlphaPlanePicture();
ProgramPicture rawAlphaPlanePicture();
ProgramPicture stackedAlphaPicture();
ProgramPicture pictureOf(const AlphaPlaneProgram& program);

// The window pixel (RGB, 0..255 as a real number) a quad pixel should have: the texel of
// its level at the pixel centre, nearest filtering, blended over the clear colour.
std::array<double, 3> expectedPixel(const ProgramPicture& picture, int quad, int px, int py);

// The most a blended pixel can differ between two levels of the same size, in 8-bit steps:
// the largest |colour difference| + |alpha difference| of any texel (a blend
// background + alpha * (colour - background) moves by at most that much).
double largestTexelDifference(const Level& a, const Level& b);

#endif
