#include "ImageQuality.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

etc::Image filled(int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a)
{
    etc::Image image;
    image.width = width;
    image.height = height;
    for (int i = 0; i < width * height; ++i) {
        image.rgba.insert(image.rgba.end(), {r, g, b, a});
    }
    return image;
}

TEST(ImageQuality, PsnrOfKnownErrors)
{
    const etc::Image a = filled(4, 4, 10, 20, 30, 255);
    EXPECT_TRUE(std::isinf(etc::psnr(a, a, etc::kRgb)));
    // Every RGB value off by one: MSE 1.
    const etc::Image b = filled(4, 4, 11, 19, 31, 0);
    EXPECT_NEAR(etc::psnr(a, b, etc::kRgb), 10 * std::log10(255.0 * 255.0), 1e-9);
    // Only red off by 3 of the channels measured: MSE 9 / 2 over R and G.
    const etc::Image c = filled(4, 4, 13, 20, 0, 255);
    EXPECT_NEAR(etc::psnr(a, c, etc::kRed | etc::kGreen), 10 * std::log10(255.0 * 255.0 / 4.5), 1e-9);
    EXPECT_NEAR(etc::psnr(a, b, etc::kAlpha), 10 * std::log10(1.0), 1e-9);
}

TEST(ImageQuality, OpaqueOnlyCountsTexelsOfFullAlpha)
{
    etc::Image reference = filled(2, 1, 100, 100, 100, 255);
    reference.rgba[7] = 254; // second texel not fully opaque
    etc::Image decoded = reference;
    decoded.rgba[4] = 0; // error only on the second texel
    EXPECT_TRUE(std::isinf(etc::psnr(reference, decoded, etc::kRgb, true)));
    EXPECT_FALSE(std::isinf(etc::psnr(reference, decoded, etc::kRgb, false)));
    reference.rgba[3] = 0;
    EXPECT_TRUE(std::isnan(etc::psnr(reference, decoded, etc::kRgb, true)));
}

TEST(ImageQuality, AlphaClassesSplitAt128)
{
    etc::Image reference = filled(4, 1, 0, 0, 0, 0);
    const std::uint8_t sourceAlpha[4] = {127, 128, 0, 255};
    const std::uint8_t decodedAlpha[4] = {0, 255, 128, 127};
    etc::Image decoded = reference;
    for (int i = 0; i < 4; ++i) {
        reference.rgba[i * 4 + 3] = sourceAlpha[i];
        decoded.rgba[i * 4 + 3] = decodedAlpha[i];
    }
    EXPECT_EQ(etc::alphaClassMismatches(reference, decoded), 2);
}

TEST(ImageQuality, EachFormatIsJudgedByItsChannels)
{
    const etc::Image reference = filled(2, 2, 10, 20, 30, 40);
    etc::DecodedImage decoded;
    decoded.rgba = filled(2, 2, 10, 20, 99, 255);
    EXPECT_STREQ(etc::measureQuality(reference, decoded, etc::Format::Rg11).channelsName, "RG");
    EXPECT_TRUE(std::isinf(etc::measureQuality(reference, decoded, etc::Format::Rg11).channelsPsnr));
    EXPECT_STREQ(etc::measureQuality(reference, decoded, etc::Format::SignedR11).channelsName, "R");
    const etc::FormatQuality rgba = etc::measureQuality(reference, decoded, etc::Format::Srgb8Alpha8);
    EXPECT_TRUE(rgba.hasAlpha);
    EXPECT_FALSE(rgba.hasAlphaClasses);
    EXPECT_FALSE(std::isinf(rgba.channelsPsnr));
    const etc::FormatQuality a1 = etc::measureQuality(reference, decoded, etc::Format::Rgb8Punchthrough);
    EXPECT_TRUE(a1.hasAlphaClasses);
    EXPECT_EQ(a1.alphaMismatches, 4);
    EXPECT_FALSE(etc::measureQuality(reference, decoded, etc::Format::Etc1).hasAlpha);
}

} // namespace
