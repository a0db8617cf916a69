#include "CarouselPictures.h"

#include "TestImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

std::vector<int> channel(const etc::Image& image, int c)
{
    std::vector<int> values;
    for (std::size_t i = c; i < image.rgba.size(); i += 4)
        values.push_back(image.rgba[i]);
    return values;
}

double mean(const std::vector<int>& values)
{
    double sum = 0;
    for (int v : values)
        sum += v;
    return sum / values.size();
}

} // namespace

TEST(CarouselPictures, HeightMapsUseTheWholeRangeInRedOnly)
{
    for (const etc::Image& map : {assets::renderHeightMap(), assets::renderRippleMap()}) {
        ASSERT_EQ(map.width, 256);
        ASSERT_EQ(map.height, 256);
        const auto red = channel(map, 0);
        EXPECT_LE(*std::min_element(red.begin(), red.end()), 10);
        EXPECT_GE(*std::max_element(red.begin(), red.end()), 245);
        const auto green = channel(map, 1);
        EXPECT_EQ(*std::max_element(green.begin(), green.end()), 0);
    }
}

TEST(CarouselPictures, RipplesSwingAroundZero)
{
    // Signed values map 0..255 to -1..1: zero is 127.5.
    EXPECT_NEAR(mean(channel(assets::renderRippleMap(), 0)), 127.5, 6);
}

TEST(CarouselPictures, BrickNormalsAreUnitLengthWithAFlatFaceFacingTheViewer)
{
    const etc::Image normals = assets::renderBrickNormals();
    int facing = 0;
    for (std::size_t i = 0; i < normals.rgba.size(); i += 4) {
        const double x = normals.rgba[i] / 255.0 * 2 - 1;
        const double y = normals.rgba[i + 1] / 255.0 * 2 - 1;
        ASSERT_LE(x * x + y * y, 1.02) << "X and Y of a unit normal";
        facing += std::fabs(x) < 0.05 && std::fabs(y) < 0.05;
    }
    EXPECT_GT(facing, 256 * 256 / 10) << "brick faces";
    // Joints tilt the normals both ways on both axes.
    const auto red = channel(normals, 0);
    const auto green = channel(normals, 1);
    EXPECT_LT(*std::min_element(red.begin(), red.end()), 64);
    EXPECT_GT(*std::max_element(red.begin(), red.end()), 192);
    EXPECT_LT(*std::min_element(green.begin(), green.end()), 64);
    EXPECT_GT(*std::max_element(green.begin(), green.end()), 192);
}

TEST(CarouselPictures, AlphaPicturesHaveTheAlphaTheirFormatsAreFor)
{
    const auto bubbleAlpha = channel(assets::renderBubbles(), 3);
    const auto partial = std::count_if(bubbleAlpha.begin(), bubbleAlpha.end(), [](int a) { return a > 8 && a < 247; });
    EXPECT_GT(partial, 256 * 256 / 5) << "smooth, partial transparency";

    const auto cogAlpha = channel(assets::renderCog(), 3);
    EXPECT_TRUE(std::all_of(cogAlpha.begin(), cogAlpha.end(), [](int a) { return a == 0 || a == 255; }));
    const auto cut = std::count(cogAlpha.begin(), cogAlpha.end(), 0);
    EXPECT_GT(cut, 256 * 256 / 5);
    EXPECT_LT(cut, 256 * 256 * 4 / 5);

    const auto landscapeAlpha = channel(assets::renderLandscape(), 3);
    EXPECT_TRUE(std::all_of(landscapeAlpha.begin(), landscapeAlpha.end(), [](int a) { return a == 255; }));
}
