#include "AlphaPlane.h"

#include "TestImages.h"

#include <gtest/gtest.h>

TEST(AlphaPlane, ColourChannelsOfThePlaneHoldTheAlphaAndThePlaneIsOpaque)
{
    const etc::Image image = patternImage(5, 3);
    const etc::Image plane = texops::alphaPlaneImage(image);
    ASSERT_EQ(plane.width, 5);
    ASSERT_EQ(plane.height, 3);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) {
            const std::uint8_t alpha = texel(image, x, y)[3];
            const std::uint8_t* p = texel(plane, x, y);
            EXPECT_EQ(p[0], alpha);
            EXPECT_EQ(p[1], alpha);
            EXPECT_EQ(p[2], alpha);
            EXPECT_EQ(p[3], 255);
        }
    }
}

TEST(AlphaPlane, ChannelPlaneTakesOneChannelInRasterOrder)
{
    const etc::Image image = patternImage(3, 2);
    for (int channel = 0; channel < 4; ++channel) {
        const std::vector<std::uint8_t> plane = texops::channelPlane(image, channel);
        ASSERT_EQ(plane.size(), 6u);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                EXPECT_EQ(plane[y * 3 + x], texel(image, x, y)[channel]) << channel;
    }
}
