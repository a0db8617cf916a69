#include "ImageCompare.h"

#include "TestImages.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(ImageCompare, IdenticalImagesHaveInfinitePsnrInEveryChannel)
{
    const etc::Image image = patternImage(5, 5);
    const texops::PsnrReport report = texops::comparePsnr(image, image);
    for (double channel : report.channel)
        EXPECT_TRUE(std::isinf(channel));
    EXPECT_TRUE(std::isinf(report.rgb));
}

TEST(ImageCompare, EachChannelIsMeasuredOnItsOwn)
{
    const etc::Image reference = solidImage(4, 4, 100, 100, 100, 100);
    const etc::Image candidate = solidImage(4, 4, 101, 100, 0, 100);
    const texops::PsnrReport report = texops::comparePsnr(reference, candidate);
    EXPECT_NEAR(report.channel[0], 10 * std::log10(255.0 * 255.0), 1e-9); // error 1: 48.13 dB
    EXPECT_TRUE(std::isinf(report.channel[1]));
    EXPECT_NEAR(report.channel[2], 10 * std::log10(255.0 * 255.0 / 10000.0), 1e-9);
    EXPECT_TRUE(std::isinf(report.channel[3]));
    // R, G and B together: mean squared error (1 + 0 + 10000) / 3.
    EXPECT_NEAR(report.rgb, 10 * std::log10(255.0 * 255.0 * 3 / 10001.0), 1e-9);
}
