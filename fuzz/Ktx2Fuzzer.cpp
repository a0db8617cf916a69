// The KTX2 parser, and the decoder on every level of whatever texture a parsed file describes.
#include "FuzzInput.h"

#include "EtcCodec.h"
#include "Ktx2.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    etc::Ktx2File file;
    std::string error;
    if (!etc::parseKtx2(std::vector<std::uint8_t>(data, data + size), file, error))
        return 0;
    for (std::size_t level = 0; level < file.levels.size(); ++level)
        etc::decodeImage(file.levels[level].data(), file.format, std::max(1, file.width >> level),
                         std::max(1, file.height >> level));
    return 0;
}
