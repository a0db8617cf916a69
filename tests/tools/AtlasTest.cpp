#include "Atlas.h"

#include "AlphaPlane.h"
#include "Mipmap.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

std::vector<etc::Image> alphaPlanes(const std::vector<etc::Image>& chain)
{
    std::vector<etc::Image> planes;
    planes.reserve(chain.size());
    for (const etc::Image& level : chain)
        planes.push_back(texops::alphaPlaneImage(level));
    return planes;
}

} // namespace

TEST(Atlas, ColourFillsTheTopHalfAndTheAlphaPlaneTheBottomHalf)
{
    const etc::Image image = patternImage(6, 4);
    const etc::Image colour = texops::opaqueColourImage(image);
    const etc::Image alpha = texops::alphaPlaneImage(image);
    const etc::Image atlas = texops::stackAtlas(colour, alpha);
    ASSERT_EQ(atlas.width, 6);
    ASSERT_EQ(atlas.height, 8);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x) {
            EXPECT_TRUE(std::equal(texel(colour, x, y), texel(colour, x, y) + 4, texel(atlas, x, y)));
            EXPECT_TRUE(std::equal(texel(alpha, x, y), texel(alpha, x, y) + 4, texel(atlas, x, y + 4)));
        }
    }
}

TEST(Atlas, ChainOfA512By256PictureHasTenSquareLevelsDownToOneByOne)
{
    const auto colour = texops::buildMipmapChain(patternImage(512, 256), texops::ColourSpace::Linear);
    const auto atlas = texops::buildAtlasChain(colour, alphaPlanes(colour));
    ASSERT_EQ(atlas.size(), 10u);
    for (std::size_t level = 0; level < atlas.size(); ++level) {
        EXPECT_EQ(atlas[level].width, 512 >> level) << "level " << level;
        EXPECT_EQ(atlas[level].height, 512 >> level) << "level " << level;
    }
    // Level 8 still stacks: 2 x 1 colour over 2 x 1 alpha.
    EXPECT_EQ(atlas[8].rgba, texops::stackAtlas(colour[8], texops::alphaPlaneImage(colour[8])).rgba);
    // Level 9 is one texel: the colour of colour level 9.
    EXPECT_EQ(atlas[9].rgba, colour[9].rgba);
}

TEST(Atlas, TallPicturesGetOneLevelMoreThanTheirColourChain)
{
    const auto colour = texops::buildMipmapChain(patternImage(4, 8), texops::ColourSpace::Linear);
    const auto atlas = texops::buildAtlasChain(colour, alphaPlanes(colour));
    ASSERT_EQ(colour.size(), 4u);
    ASSERT_EQ(atlas.size(), 5u); // 4x16, 2x8, 1x4, 1x2, 1x1
    EXPECT_EQ(atlas[3].height, 2);
    EXPECT_EQ(atlas[3].rgba, texops::stackAtlas(colour[3], texops::alphaPlaneImage(colour[3])).rgba);
    EXPECT_EQ(atlas[4].rgba, colour[3].rgba);
}

TEST(Atlas, OnlyPowerOfTwoHeightsHalveExactlyWhenStacked)
{
    EXPECT_TRUE(texops::canBuildAtlasChain(512, 256));
    EXPECT_TRUE(texops::canBuildAtlasChain(300, 1));
    // Colour heights 96 ... 6, 3, 1 stack to 192 ... 12, 6, 2; halving 6 needs 3.
    EXPECT_FALSE(texops::canBuildAtlasChain(512, 96));
    EXPECT_FALSE(texops::canBuildAtlasChain(4, 0));
}
