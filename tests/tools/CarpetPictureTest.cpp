#include "CarpetPicture.h"

#include "TestImages.h"

#include <gtest/gtest.h>

TEST(CarpetPicture, HasRealTransparencyOpaqueBodyFadingFringesAndHoles)
{
    const etc::Image carpet = assets::renderCarpet();
    ASSERT_EQ(carpet.width, 512);
    ASSERT_EQ(carpet.height, 256);
    int clear = 0, partial = 0, opaque = 0;
    for (std::size_t i = 3; i < carpet.rgba.size(); i += 4) {
        const std::uint8_t a = carpet.rgba[i];
        (a == 0 ? clear : a == 255 ? opaque : partial) += 1;
    }
    const int texels = 512 * 256;
    EXPECT_GT(opaque, texels / 2) << "the knotted body";
    EXPECT_GT(clear, texels / 20) << "around the fringes and in the holes";
    EXPECT_GT(partial, texels / 50) << "thread edges, fraying tips and frayed rims";
    // Corners lie outside the body and its fringes; the centre is pile.
    EXPECT_EQ(texel(carpet, 0, 0)[3], 0);
    EXPECT_EQ(texel(carpet, 511, 255)[3], 0);
    EXPECT_EQ(texel(carpet, 256, 128)[3], 255);
    // The short ends fray into threads with gaps between them.
    int fringeClear = 0, fringeVisible = 0;
    for (int y = 20; y < 236; ++y) {
        const std::uint8_t a = texel(carpet, 30, y)[3];
        (a == 0 ? fringeClear : fringeVisible) += 1;
    }
    EXPECT_GT(fringeClear, 20);
    EXPECT_GT(fringeVisible, 20);
}
