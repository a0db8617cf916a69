#include "Mipmap.h"

#include "TestImages.h"

#include <gtest/gtest.h>

using texops::ColourSpace;

namespace {

etc::Image rowOf(const std::vector<std::uint8_t>& values)
{
    etc::Image image{int(values.size()), 1, {}};
    for (std::uint8_t v : values)
        image.rgba.insert(image.rgba.end(), {v, v, v, v});
    return image;
}

} // namespace

TEST(Mipmap, ChainsHalveEachSideDownToOneByOne)
{
    EXPECT_EQ(texops::mipmapLevelCount(512, 256), 10);
    EXPECT_EQ(texops::mipmapLevelCount(1, 1), 1);
    EXPECT_EQ(texops::mipmapLevelCount(8, 2), 4);
    EXPECT_EQ(texops::mipmapLevelCount(5, 3), 3);

    const auto chain = texops::buildMipmapChain(solidImage(512, 256, 1, 2, 3, 4), ColourSpace::Linear);
    ASSERT_EQ(chain.size(), 10u);
    for (std::size_t level = 0; level < chain.size(); ++level) {
        EXPECT_EQ(chain[level].width, std::max(1, 512 >> level)) << "level " << level;
        EXPECT_EQ(chain[level].height, std::max(1, 256 >> level)) << "level " << level;
        EXPECT_EQ(chain[level].rgba.size(), std::size_t(chain[level].width) * chain[level].height * 4);
    }
    const auto odd = texops::buildMipmapChain(solidImage(5, 3, 0, 0, 0, 0), ColourSpace::Linear);
    ASSERT_EQ(odd.size(), 3u);
    EXPECT_EQ(odd[1].width, 2);
    EXPECT_EQ(odd[1].height, 1);
}

TEST(Mipmap, EvenSidesAverageTwoByTwoBoxesPerChannelAndRound)
{
    etc::Image image{2, 2, {0, 10, 200, 255, 10, 20, 201, 0, 20, 30, 202, 255, 31, 40, 204, 0}};
    const etc::Image half = texops::halveImage(image, ColourSpace::Linear);
    ASSERT_EQ(half.width, 1);
    ASSERT_EQ(half.height, 1);
    // 61 / 4 = 15.25, 100 / 4 = 25, 807 / 4 = 201.75, 510 / 4 = 127.5
    EXPECT_EQ(half.rgba, (std::vector<std::uint8_t>{15, 25, 202, 128}));
}

TEST(Mipmap, OddSidesWeighTexelsByTheAreaTheyCover)
{
    // Three texels to one: each a third.
    EXPECT_EQ(texops::halveImage(rowOf({0, 90, 180}), ColourSpace::Linear).rgba[0], 90);
    // Five texels to two: the middle one is shared, weights 2, 2, 1 | 1, 2, 2 (fifths).
    const etc::Image half = texops::halveImage(rowOf({0, 0, 250, 0, 0}), ColourSpace::Linear);
    ASSERT_EQ(half.width, 2);
    EXPECT_EQ(texel(half, 0, 0)[0], 50);
    EXPECT_EQ(texel(half, 1, 0)[0], 50);
    // Nothing is dropped: the last column still counts.
    EXPECT_EQ(texops::halveImage(rowOf({0, 0, 255}), ColourSpace::Linear).rgba[0], 85);
}

TEST(Mipmap, SrgbColourIsAveragedInLinearLightButAlphaAsStored)
{
    const etc::Image blackWhite = rowOf({0, 255});
    const etc::Image linear = texops::halveImage(blackWhite, ColourSpace::Linear);
    const etc::Image srgb = texops::halveImage(blackWhite, ColourSpace::Srgb);
    EXPECT_EQ(linear.rgba[0], 128);
    // Half the light of white is 0.5 linear, 0.7354 encoded: 187.5, rounded in sRGB to 188.
    EXPECT_EQ(srgb.rgba[0], 188);
    EXPECT_EQ(srgb.rgba[1], 188);
    EXPECT_EQ(srgb.rgba[2], 188);
    EXPECT_EQ(srgb.rgba[3], 128) << "alpha is coverage, not light";
}

TEST(Mipmap, SrgbFilteringKeepsFlatColoursExactlyThroughTheWholeChain)
{
    for (std::uint8_t value : {std::uint8_t(0), std::uint8_t(1), std::uint8_t(13), std::uint8_t(128), std::uint8_t(200),
                               std::uint8_t(254), std::uint8_t(255)}) {
        const auto chain = texops::buildMipmapChain(solidImage(8, 4, value, value, value, value), ColourSpace::Srgb);
        const etc::Image& last = chain.back();
        EXPECT_EQ(last.rgba, (std::vector<std::uint8_t>{value, value, value, value})) << int(value);
    }
}
