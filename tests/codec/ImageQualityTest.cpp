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
    EXPECT_TRUE(std::isinf(etc::psnr(a, a, etc::rgbChannels)));
    // Every RGB value off by one: MSE 1.
    const etc::Image b = filled(4, 4, 11, 19, 31, 0);
    EXPECT_NEAR(etc::psnr(a, b, etc::rgbChannels), 10 * std::log10(255.0 * 255.0), 1e-9);
    // Only red off by 3 of the channels measured: MSE 9 / 2 over R and G.
    const etc::Image c = filled(4, 4, 13, 20, 0, 255);
    EXPECT_NEAR(etc::psnr(a, c, etc::redChannel | etc::greenChannel), 10 * std::log10(255.0 * 255.0 / 4.5), 1e-9);
    EXPECT_NEAR(etc::psnr(a, b, etc::alphaChannel), 10 * std::log10(1.0), 1e-9);
}

TEST(ImageQuality, OpaqueOnlyCountsTexelsOfFullAlpha)
{
    etc::Image reference = filled(2, 1, 100, 100, 100, 255);
    reference.rgba[7] = 254; // second texel not fully opaque
    etc::Image decoded = reference;
    decoded.rgba[4] = 0; // error only on the second texel
    EXPECT_TRUE(std::isinf(etc::psnr(reference, decoded, etc::rgbChannels, true)));
    EXPECT_FALSE(std::isinf(etc::psnr(reference, decoded, etc::rgbChannels, false)));
    reference.rgba[3] = 0;
    EXPECT_TRUE(std::isnan(etc::psnr(reference, decoded, etc::rgbChannels, true)));
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

namespace {

TEST(ImageQuality, ElevenBitPsnrAgainstTheSourceAtFullPrecision)
{
    // Two texels: 16-bit samples 0 and 65535 (targets 0 and 2047, or -1023 and 1023 signed)
    // decoded as 3 and 2040: MSE (9 + 49) / 2 = 29. Signed, -1020 and 1023: MSE 9 / 2.
    etc::Image wide = filled(2, 1, 0, 0, 0, 255);
    wide.rgba16 = {0, 0, 0, 65535, 65535, 0, 0, 65535};
    wide.rgba[4] = 255;
    etc::DecodedImage decoded;
    decoded.channels = 1;
    decoded.eac = {3, 2040};
    EXPECT_NEAR(etc::elevenBitPsnr(wide, decoded, false), 10 * std::log10(2047.0 * 2047.0 / 29.0), 1e-9);
    decoded.eac = {-1020, 1023};
    EXPECT_NEAR(etc::elevenBitPsnr(wide, decoded, true), 10 * std::log10(2047.0 * 2047.0 / 4.5), 1e-9);

    // An 8-bit source: byte 100 stands for 100 * 2047 / 255 = 802.745...; decoded 800 and
    // 805 over R and G of one texel.
    const etc::Image bytes = filled(1, 1, 100, 100, 0, 255);
    etc::DecodedImage rg;
    rg.channels = 2;
    rg.eac = {800, 805};
    const double target = 100 * 2047.0 / 255.0;
    const double mse = (std::pow(800 - target, 2) + std::pow(805 - target, 2)) / 2;
    EXPECT_NEAR(etc::elevenBitPsnr(bytes, rg, false), 10 * std::log10(2047.0 * 2047.0 / mse), 1e-9);
    // Signed, byte 100 stands for (100 / 255 * 2 - 1) * 1023 = -220.76...; decoded -221 and 0.
    rg.eac = {-221, 0};
    const double signedTarget = (100 / 255.0 * 2 - 1) * 1023;
    const double signedMse = (std::pow(-221 - signedTarget, 2) + std::pow(signedTarget, 2)) / 2;
    EXPECT_NEAR(etc::elevenBitPsnr(bytes, rg, true), 10 * std::log10(2047.0 * 2047.0 / signedMse), 1e-9);

    // measureQuality gives the figure for the EAC formats alone.
    rg.rgba = bytes;
    EXPECT_TRUE(etc::measureQuality(bytes, rg, etc::Format::SignedRg11).hasElevenBit);
    EXPECT_NEAR(etc::measureQuality(bytes, rg, etc::Format::SignedRg11).elevenBitPsnr,
                10 * std::log10(2047.0 * 2047.0 / signedMse), 1e-9);
    EXPECT_FALSE(etc::measureQuality(bytes, rg, etc::Format::Rgb8).hasElevenBit);
}

} // namespace
