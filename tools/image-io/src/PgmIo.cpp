#include "PgmIo.h"

#include "AtomicFile.h"

namespace imageio {

std::vector<std::uint8_t> encodePgm(int width, int height, const std::vector<std::uint8_t>& grey)
{
    std::string header = "P5\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    std::vector<std::uint8_t> bytes(header.begin(), header.end());
    bytes.insert(bytes.end(), grey.begin(), grey.end());
    return bytes;
}

bool writePgm(const std::string& path, int width, int height, const std::vector<std::uint8_t>& grey, std::string& error)
{
    if (width <= 0 || height <= 0 || grey.size() != std::size_t(width) * height) {
        error = writeFailure(path, "the greymap has no pixels or the wrong size");
        return false;
    }
    return writeFileAtomically(path, encodePgm(width, height, grey), error);
}

} // namespace imageio
