// Client extensions as the EGL library itself reports them.

#include "EGLPlatformDisplay.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

TEST(EGLClientExtensions, AreMatchedAsWholeNamesOnly)
{
    const char* extensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    ASSERT_NE(extensions, nullptr) << "this EGL library has no client extensions";
    std::istringstream names(extensions);
    std::string name;
    int checked = 0;
    while (names >> name) {
        EXPECT_TRUE(KorvoSDK::hasClientExtension(name.c_str())) << name;
        // A name cut short, or run on, is another extension.
        EXPECT_FALSE(KorvoSDK::hasClientExtension(name.substr(0, name.size() - 1).c_str())) << name;
        EXPECT_FALSE(KorvoSDK::hasClientExtension((name + "_2").c_str())) << name;
        EXPECT_FALSE(KorvoSDK::hasClientExtension(name.substr(1).c_str())) << name;
        ++checked;
    }
    EXPECT_GT(checked, 0);
}
