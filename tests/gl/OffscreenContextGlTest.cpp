// The test contexts' fallback for machines whose EGL has no surfaceless platform (a GPU
// vendor's driver): the first EGL device, tried here on Mesa, which offers both.

#include "EGLPlatformDisplay.h"
#include "OffscreenContext.h"

#include <GLES3/gl3.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

TEST(OffscreenContextOnDevice, RendersIntoItsPbufferWithoutTheSurfacelessPlatform)
{
    if (!KorvoSDK::hasClientExtension("EGL_EXT_platform_device"))
        GTEST_SKIP() << "this EGL library offers no device platform";
    setenv("KORVO_TEST_EGL_PLATFORM", "device", 1);
    OffscreenContext context(8, 4);
    unsetenv("KORVO_TEST_EGL_PLATFORM");
    ASSERT_TRUE(context.ok());
    EXPECT_EQ(std::string(context.platform()), "device");

    GLint version = 0;
    glGetIntegerv(GL_MAJOR_VERSION, &version);
    EXPECT_GE(version, 3);
    glClearColor(0.25f, 0.5f, 0.75f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    std::vector<GLubyte> pixels(8 * 4 * 4);
    glReadPixels(0, 0, 8, 4, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    for (size_t i = 0; i < pixels.size(); i += 4) {
        EXPECT_NEAR(pixels[i], 64, 1);
        EXPECT_NEAR(pixels[i + 1], 128, 1);
        EXPECT_NEAR(pixels[i + 2], 191, 1);
    }
}
