#ifndef ETC_PKM_H
#define ETC_PKM_H

#include "EtcFormat.h"

#include <cstdint>
#include <string>
#include <vector>

namespace etc {

// A PKM file: 16-byte header ("PKM ", version, data type, padded width and height, width
// and height, all big-endian 16-bit) followed by the payload.
struct PkmFile {
    Format format = Format::Etc1;
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> payload;
};

// Whether the file can be written as PKM: positive sizes that fit the header, and exactly the
// payload its format needs. On failure says why in `error`.
bool checkSerializable(const PkmFile& file, std::string& error);

std::vector<std::uint8_t> serializePkm(const PkmFile& file);

// Parses and validates a whole file in memory (magic, known version and type, positive
// sizes, payload long enough). On failure returns false and says why in `error`.
bool parsePkm(const std::vector<std::uint8_t>& bytes, PkmFile& file, std::string& error);

} // namespace etc

#endif
