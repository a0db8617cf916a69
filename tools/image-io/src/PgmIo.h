#ifndef IMAGE_IO_PGM_IO_H
#define IMAGE_IO_PGM_IO_H

#include <cstdint>
#include <string>
#include <vector>

namespace imageio {

// Binary greymap: "P5", width, height and 255 separated by single whitespace bytes, one
// newline, then width x height bytes from the top row. The single byte after the maximum
// value matters: readers skip exactly one byte before the raster.
std::vector<std::uint8_t> encodePgm(int width, int height, const std::vector<std::uint8_t>& grey);

// Writes through a temporary file renamed into place. `grey` must hold width x height bytes.
bool writePgm(const std::string& path, int width, int height, const std::vector<std::uint8_t>& grey,
              std::string& error);

} // namespace imageio

#endif
