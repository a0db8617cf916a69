// The PNG reader of the tools.
#include "FuzzInput.h"

#include "PngIo.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    etc::Image image;
    std::string reason;
    imageio::decodePng(std::vector<std::uint8_t>(data, data + size), image, reason);
    return 0;
}
