#include "AlphaPlane.h"

namespace texops {

etc::Image alphaPlaneImage(const etc::Image& rgba)
{
    etc::Image out = rgba;
    out.rgba16.clear(); // an 8-bit picture of the alpha, whatever the source's depth
    for (std::size_t i = 0; i < out.rgba.size(); i += 4) {
        std::uint8_t alpha = rgba.rgba[i + 3];
        out.rgba[i] = out.rgba[i + 1] = out.rgba[i + 2] = alpha;
        out.rgba[i + 3] = 255;
    }
    return out;
}

etc::Image opaqueColourImage(const etc::Image& rgba)
{
    etc::Image out = rgba;
    out.rgba16.clear();
    for (std::size_t i = 3; i < out.rgba.size(); i += 4)
        out.rgba[i] = 255;
    return out;
}

std::vector<std::uint8_t> channelPlane(const etc::Image& rgba, int channel)
{
    std::vector<std::uint8_t> plane(rgba.rgba.size() / 4);
    for (std::size_t i = 0; i < plane.size(); ++i)
        plane[i] = rgba.rgba[i * 4 + channel];
    return plane;
}

} // namespace texops
