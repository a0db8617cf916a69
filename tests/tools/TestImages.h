#ifndef TEST_TEST_IMAGES_H
#define TEST_TEST_IMAGES_H

#include "EtcCodec.h"

#include <cstdint>

// Every texel different in every channel (alpha included), so a swapped channel, a
// flipped row or an off-by-one offset shows.
etc::Image patternImage(int width, int height);

// One colour everywhere.
etc::Image solidImage(int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a);

const std::uint8_t* texel(const etc::Image& image, int x, int y);

#endif
