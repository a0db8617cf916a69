#ifndef IMAGE_IO_PNG_IO_H
#define IMAGE_IO_PNG_IO_H

#include "EtcCodec.h"

#include <cstdint>
#include <string>
#include <vector>

namespace imageio {

// Decodes a PNG held in memory as readPng does; `reason` says what is wrong with it.
bool decodePng(const std::vector<std::uint8_t>& bytes, etc::Image& image, std::string& reason);

// Reads any PNG (grey, grey + alpha, palette, RGB, RGBA; 8 or 16 bits) as 8-bit RGBA, and
// 16-bit ones also at full precision (Image::rgba16). Errors name the file.
bool readPng(const std::string& path, etc::Image& image, std::string& error);

// Writes 8-bit RGBA (the bytes of 16-bit images) through a temporary file renamed into place: a failed write leaves
// nothing behind.
bool writePng(const std::string& path, const etc::Image& image, std::string& error);

} // namespace imageio

#endif
