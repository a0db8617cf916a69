#include "ColourBleed.h"

#include "TestImages.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

void paint(etc::Image& image, int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a)
{
    std::uint8_t* p = &image.rgba[(std::size_t(y) * image.width + x) * 4];
    p[0] = r;
    p[1] = g;
    p[2] = b;
    p[3] = a;
}

} // namespace

TEST(ColourBleed, TransparentTexelsTakeTheColourOfTheNearestVisibleOnes)
{
    // Left column red and opaque, right column blue and faintly visible, black clear between.
    etc::Image image = solidImage(9, 3, 0, 0, 0, 0);
    for (int y = 0; y < 3; ++y) {
        paint(image, 0, y, 200, 0, 0, 255);
        paint(image, 8, y, 0, 0, 200, 1);
    }
    const etc::Image bled = texops::bleedColourIntoTransparent(image);
    for (int y = 0; y < 3; ++y) {
        EXPECT_EQ(texel(bled, 2, y)[0], 200) << "near the red side";
        EXPECT_EQ(texel(bled, 2, y)[2], 0);
        EXPECT_EQ(texel(bled, 6, y)[2], 200) << "near the blue side";
        EXPECT_EQ(texel(bled, 6, y)[0], 0);
        // The middle is reached from both sides in the same ring: the mean.
        EXPECT_EQ(texel(bled, 4, y)[0], 100);
        EXPECT_EQ(texel(bled, 4, y)[2], 100);
    }
}

TEST(ColourBleed, VisibleTexelsAndAllAlphaStayAsTheyWere)
{
    etc::Image image = patternImage(6, 6);
    paint(image, 2, 2, 9, 9, 9, 0);
    paint(image, 3, 3, 9, 9, 9, 0);
    const etc::Image bled = texops::bleedColourIntoTransparent(image);
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 6; ++x) {
            const std::uint8_t* before = texel(image, x, y);
            const std::uint8_t* after = texel(bled, x, y);
            EXPECT_EQ(after[3], before[3]);
            if (before[3] != 0) {
                EXPECT_TRUE(std::equal(before, before + 4, after)) << x << "," << y;
            }
        }
    }
    EXPECT_NE(texel(bled, 2, 2)[0], 9) << "hidden colour replaced";
}

TEST(ColourBleed, AnImageWithNothingVisibleIsLeftAsItIs)
{
    const etc::Image clear = solidImage(4, 4, 7, 8, 9, 0);
    EXPECT_EQ(texops::bleedColourIntoTransparent(clear).rgba, clear.rgba);
}
