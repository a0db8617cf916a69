#ifndef KORVO_EGL_RUNTIME_H
#define KORVO_EGL_RUNTIME_H

#include <EGL/egl.h>

#include <cstdint>

namespace KorvoSDK {

class Platform;

enum ClientApiVersion : std::int32_t {
    Es1 = 0,
    Es2 = 1,
    Es3 = 2,
};

// EGL for the one window of a windowed program, in process-wide state that the shell reads
// for eglMakeCurrent and eglSwapBuffers.
namespace EGLRuntime {

extern EGLDisplay display;
extern EGLConfig config;
extern EGLSurface surface;
extern EGLContext context;
// Set to Platform::instance() during static initialisation, before main.
extern Platform* platform;
// Set by Platform::instance() when it makes the platform object: ask for any sample count.
extern bool multisampleDontCare;

// The attribute lists, patched in place by initialize.
extern EGLint configAttributes[];
extern EGLint contextAttributes[];
extern EGLint windowAttributes[];

// Opens the display of the platform's window (on the X11 platform, whatever $EGL_PLATFORM
// says, where the client extensions let it be named), chooses the first configuration in
// eglChooseConfig's order whose red, green and blue are exactly 8 bits, and creates the
// window surface and a context of `version`. Nothing is made current. Any failure prints
// its report and exits with status 1.
void initialize(ClientApiVersion version);

// Releases what initialize made, in a fixed order; no result is tested.
void terminate();

} // namespace EGLRuntime
} // namespace KorvoSDK

#endif
