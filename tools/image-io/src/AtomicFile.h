#ifndef IMAGE_IO_ATOMIC_FILE_H
#define IMAGE_IO_ATOMIC_FILE_H

#include <cstdint>
#include <string>
#include <vector>

namespace imageio {

// Writes the bytes to a temporary file beside `path` and renames it into place, so readers
// see either the old file or the whole new one, never a partial write. On failure the
// temporary file is removed, `path` is untouched, and `error` names the file.
bool writeFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& error);

// Reads a whole file. Errors name the file.
bool readWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error);

} // namespace imageio

#endif
