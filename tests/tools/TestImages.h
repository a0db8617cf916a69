#ifndef TEST_TEST_IMAGES_H
#define TEST_TEST_IMAGES_H

#include "EtcCodec.h"

#include <png.h>

#include <cstdint>
#include <string>
#include <vector>

// Every texel different in every channel (alpha included), so a swapped channel, a
// flipped row or an off-by-one offset shows.
etc::Image patternImage(int width, int height);

// One colour everywhere.
etc::Image solidImage(int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a);

const std::uint8_t* texel(const etc::Image& image, int x, int y);

// Writes a PNG with libpng directly, in a layout imageio never writes itself (16 bits,
// grey, palettes); `rows` as libpng takes them (16-bit samples big-endian).
void writeRawPng(const std::string& path, int width, int height, int colourType, int bitDepth,
                 const std::vector<std::uint8_t>& rows, const std::vector<png_color>& palette = {},
                 const std::vector<png_byte>& transparency = {});

#endif
