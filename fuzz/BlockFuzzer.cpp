// Every block decoder on raw blocks: the first byte picks the format and how many texels of
// the last column are cut off, the rest are blocks in a row.
#include "FuzzInput.h"

#include "EtcCodec.h"
#include "EtcFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const std::vector<etc::FormatInfo>& formats = etc::allFormats();
    const etc::FormatInfo& info = formats[data[0] % formats.size()];
    const std::size_t blocks = (size - 1) / info.blockBytes;
    if (blocks == 0)
        return 0;
    const int width = int(blocks) * 4 - (data[0] >> 6);
    etc::decodeImage(data + 1, info.format, width, 4);
    return 0;
}
