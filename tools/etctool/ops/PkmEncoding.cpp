#include "PkmEncoding.h"

namespace texops {

bool encodePkm(const etc::Image& image, etc::Format format, const etc::EncodeOptions& options, etc::PkmFile& pkm,
               std::string& error)
{
    if (image.width <= 0 || image.height <= 0 || image.width > maximumPkmSide || image.height > maximumPkmSide) {
        error = "a PKM file holds 1 to " + std::to_string(maximumPkmSide) + " texels a side, the image is " +
            std::to_string(image.width) + " x " + std::to_string(image.height);
        return false;
    }
    pkm.format = format;
    pkm.width = image.width;
    pkm.height = image.height;
    pkm.payload = etc::encodeImage(image, format, options);
    return true;
}

} // namespace texops
