#include "Atlas.h"

#include "Mipmap.h"

#include <algorithm>

namespace texops {

etc::Image stackAtlas(const etc::Image& colour, const etc::Image& alphaPlane)
{
    etc::Image atlas;
    atlas.width = colour.width;
    atlas.height = colour.height * 2;
    atlas.rgba = colour.rgba;
    atlas.rgba.insert(atlas.rgba.end(), alphaPlane.rgba.begin(), alphaPlane.rgba.end());
    return atlas;
}

bool canBuildAtlasChain(int width, int height) { return width > 0 && height > 0 && (height & (height - 1)) == 0; }

std::vector<etc::Image> buildAtlasChain(const std::vector<etc::Image>& colourChain,
                                        const std::vector<etc::Image>& alphaChain)
{
    const etc::Image& base = colourChain.front();
    const int levels = mipmapLevelCount(base.width, base.height * 2);
    std::vector<etc::Image> atlas;
    for (int level = 0; level < levels; ++level) {
        const int width = std::max(1, base.width >> level);
        const int height = std::max(1, (base.height * 2) >> level);
        const std::size_t index = std::min<std::size_t>(level, colourChain.size() - 1);
        const etc::Image& colour = colourChain[index];
        if (colour.height * 2 == height && colour.width == width)
            atlas.push_back(stackAtlas(colour, alphaChain[index]));
        else
            atlas.push_back(colour);
    }
    return atlas;
}

} // namespace texops
