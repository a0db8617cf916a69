#include "ConfigListing.h"

#include <gtest/gtest.h>

#include <string>

TEST(ConfigListing, NamesOfCaveatsAndBufferTypes)
{
    EXPECT_STREQ(caveatName(EGL_NONE), "Normal");
    EXPECT_STREQ(caveatName(EGL_SLOW_CONFIG), "Slow");
    EXPECT_STREQ(caveatName(EGL_NON_CONFORMANT_CONFIG), "Non-conformant");
    EXPECT_STREQ(caveatName(0), "Unknown EGL_CONFIG_CAVEAT");
    EXPECT_STREQ(colorBufferTypeName(EGL_RGB_BUFFER), "RGB colour buffer");
    EXPECT_STREQ(colorBufferTypeName(EGL_LUMINANCE_BUFFER), "Luminance buffer");
    EXPECT_STREQ(colorBufferTypeName(EGL_NONE), "Unknown EGL_COLOR_BUFFER_TYPE");
}

TEST(ConfigListing, SurfaceTypesAreNamedByTheLowThreeBits)
{
    const char* expected[8] = {"None!",  "PBuffer",        "Pixmap",        "PBuffer+Pixmap",
                               "Window", "Window+PBuffer", "Window+Pixmap", "Window+Pixmap+PBuffer"};
    for (EGLint mask = 0; mask < 8; ++mask)
        EXPECT_STREQ(surfaceTypeName(mask), expected[mask]) << mask;
    EXPECT_STREQ(surfaceTypeName(EGL_WINDOW_BIT | EGL_PBUFFER_BIT | EGL_SWAP_BEHAVIOR_PRESERVED_BIT), "Window+PBuffer");
    EXPECT_STREQ(surfaceTypeName(0x7fffff8), "None!");
}

TEST(ConfigListing, RenderableTypesIgnoreTheEs3AndDesktopBits)
{
    EXPECT_STREQ(renderableTypeName(0), "No API support(?)");
    EXPECT_STREQ(renderableTypeName(EGL_OPENGL_ES_BIT), "OpenGL ES");
    EXPECT_STREQ(renderableTypeName(EGL_OPENVG_BIT), "OpenVG");
    EXPECT_STREQ(renderableTypeName(EGL_OPENGL_ES2_BIT), "OpenGL ES 2.0");
    EXPECT_STREQ(renderableTypeName(7), "OpenGL ES, OpenGL ES 2.0, OpenVG");
    EXPECT_STREQ(renderableTypeName(5), "OpenGL ES, OpenGL ES 2.0");
    EXPECT_STREQ(renderableTypeName(6), "OpenGL ES 2.0, OpenVG");
    EXPECT_STREQ(renderableTypeName(0x40), "No API support(?)");
    EXPECT_STREQ(renderableTypeName(0x44), "OpenGL ES 2.0");
    EXPECT_STREQ(renderableTypeName(EGL_OPENGL_BIT | EGL_OPENGL_ES3_BIT | EGL_OPENGL_ES2_BIT), "OpenGL ES 2.0");
}

TEST(ConfigListing, TableEndsAfterTwelveRowsWithTheApiRow)
{
    int rows = 0;
    while (configAttributeTable[rows].attribute != EGL_NONE)
        ++rows;
    ASSERT_EQ(rows, 12);
    EXPECT_EQ(configAttributeTable[0].attribute, EGL_CONFIG_ID);
    EXPECT_EQ(configAttributeTable[11].attribute, EGL_RENDERABLE_TYPE);
    EXPECT_EQ(configAttributeTable[11].formatter, renderableTypeName);
    EXPECT_EQ(configAttributeTable[10].formatter, surfaceTypeName);
}
