#ifndef TEST_OFFSCREEN_CONTEXT_H
#define TEST_OFFSCREEN_CONTEXT_H

#include <EGL/egl.h>

// An OpenGL ES 3 context current on a pbuffer, for tests that need real GL without a window:
// on the first EGL device where that is a GPU, else on Mesa's surfaceless platform, else on
// the first device, else on the default display. Released on destruction.
class OffscreenContext {
public:
    OffscreenContext(int width, int height);
    ~OffscreenContext();
    OffscreenContext(const OffscreenContext&) = delete;
    OffscreenContext& operator=(const OffscreenContext&) = delete;

    bool ok() const { return context != EGL_NO_CONTEXT; }
    // "surfaceless", "device" or "default": where the display came from.
    const char* platform() const { return platformName; }

private:
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLSurface surface = EGL_NO_SURFACE;
    EGLContext context = EGL_NO_CONTEXT;
    const char* platformName = "none";
};

#endif
