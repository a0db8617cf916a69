// EGLRuntime on a real window of a private X display.

#include "EGLRuntime.h"
#include "Platform.h"
#include "XvfbServer.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace KorvoSDK;

namespace {

EGLint attributeValue(const EGLint* list, EGLint attribute)
{
    for (const EGLint* entry = list; *entry != EGL_NONE; entry += 2)
        if (entry[0] == attribute)
            return entry[1];
    ADD_FAILURE() << "attribute 0x" << std::hex << attribute << " not in the list";
    return 0;
}

void bringUp(ClientApiVersion version)
{
    ASSERT_NE(EGLRuntime::platform, nullptr) << "the platform is made before main";
    EGLRuntime::platform->openWindow(64, 48);
    EGLRuntime::initialize(version);
}

void tearDown()
{
    EGLRuntime::terminate();
    EGLRuntime::platform->closeWindow();
}

// Every case opens its window on its own X server, whatever display the suite runs under.
class EGLRuntimeOnWindow : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.ok()) << "Xvfb did not start";
        setenv("DISPLAY", server.displayName().c_str(), 1);
    }

    XvfbServer server;
};

using EGLRuntimeDeathTest = EGLRuntimeOnWindow;

} // namespace

TEST(EGLRuntime, PlatformExistsBeforeMainAndAsksForAnySampleCount)
{
    EXPECT_EQ(EGLRuntime::platform, Platform::instance());
    EXPECT_TRUE(EGLRuntime::multisampleDontCare);
    EXPECT_EQ(EGLRuntime::platform->clickX, -1);
    EXPECT_EQ(EGLRuntime::platform->clickY, -1);
}

TEST_F(EGLRuntimeOnWindow, Es3AsksForTheEs2RenderableBitAndClientVersionThree)
{
    bringUp(Es3);
    EXPECT_EQ(attributeValue(EGLRuntime::configAttributes, EGL_RENDERABLE_TYPE), EGL_OPENGL_ES2_BIT);
    EXPECT_EQ(attributeValue(EGLRuntime::contextAttributes, EGL_CONTEXT_CLIENT_VERSION), 3);
    EXPECT_EQ(attributeValue(EGLRuntime::configAttributes, EGL_SAMPLES), EGL_DONT_CARE);
    EGLint version = 0;
    ASSERT_TRUE(eglMakeCurrent(EGLRuntime::display, EGLRuntime::surface, EGLRuntime::surface, EGLRuntime::context));
    eglQueryContext(EGLRuntime::display, EGLRuntime::context, EGL_CONTEXT_CLIENT_VERSION, &version);
    EXPECT_EQ(version, 3);
    tearDown();
}

TEST_F(EGLRuntimeOnWindow, Es2AsksForTheEs2RenderableBitAndClientVersionTwo)
{
    bringUp(Es2);
    EXPECT_EQ(attributeValue(EGLRuntime::configAttributes, EGL_RENDERABLE_TYPE), EGL_OPENGL_ES2_BIT);
    EXPECT_EQ(attributeValue(EGLRuntime::contextAttributes, EGL_CONTEXT_CLIENT_VERSION), 2);
    tearDown();
}

TEST(EGLRuntime, OtherAttributesAreTheFixedRequest)
{
    // clang-format off
    const EGLint expected[] = {
        EGL_SAMPLES, 4, EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_ALPHA_SIZE, 0,
        EGL_BUFFER_SIZE, 32, EGL_STENCIL_SIZE, 0, EGL_RENDERABLE_TYPE, 0,
        EGL_SURFACE_TYPE, EGL_WINDOW_BIT | EGL_PIXMAP_BIT, EGL_DEPTH_SIZE, 16, EGL_NONE,
    };
    // clang-format on
    // The sample count and the renderable type are patched by initialize (checked above);
    // every other entry is the same before and after it.
    const size_t patched[] = {1, 15};
    for (size_t i = 0; i < sizeof expected / sizeof expected[0]; ++i) {
        if (i != patched[0] && i != patched[1]) {
            EXPECT_EQ(EGLRuntime::configAttributes[i], expected[i]) << "entry " << i;
        }
    }
    EXPECT_EQ(EGLRuntime::contextAttributes[0], EGL_CONTEXT_CLIENT_VERSION);
    EXPECT_EQ(EGLRuntime::contextAttributes[2], EGL_NONE);
    EXPECT_EQ(EGLRuntime::windowAttributes[0], EGL_NONE);
}

TEST_F(EGLRuntimeDeathTest, FailureReportsHaveTheEglErrorLineThenTheLocatedMessage)
{
    auto createSurfaceForNoWindow = [] {
        EGLRuntime::platform->openWindow(64, 48);
        EGLRuntime::platform->window = 0; // no such window: eglCreateWindowSurface fails
        EGLRuntime::initialize(Es3);
    };
    EXPECT_EXIT(createSurfaceForNoWindow(), testing::ExitedWithCode(1),
                "^Error: eglGetError\\(\\): 1229[0-9] \\(0x30[0-9a-f]{2}\\)\n\n"
                "Error: Failed to create EGL surface at [^\n]*EGLRuntime\\.cpp:[0-9]+\n\n$");
}
