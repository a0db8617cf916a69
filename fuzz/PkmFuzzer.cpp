// The PKM parser, and the decoder of whichever format a parsed header names.
#include "FuzzInput.h"

#include "EtcCodec.h"
#include "Pkm.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    etc::PkmFile file;
    std::string error;
    if (etc::parsePkm(std::vector<std::uint8_t>(data, data + size), file, error))
        etc::decodeImage(file.payload.data(), file.format, file.width, file.height);
    return 0;
}
