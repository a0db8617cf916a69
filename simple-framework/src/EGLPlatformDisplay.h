#ifndef KORVO_EGL_PLATFORM_DISPLAY_H
#define KORVO_EGL_PLATFORM_DISPLAY_H

#include <EGL/egl.h>

// EGL displays asked for on a named platform. eglGetDisplay guesses the platform from the
// native handle and lets $EGL_PLATFORM override the guess (a Wayland desktop sets it), so
// an X connection handed to it can be taken for a Wayland or GBM one.
namespace KorvoSDK {

// True when EGL's client extension string names `name` (false when there is none).
bool hasClientExtension(const char* name);

// The display of `platform` (an EGL_PLATFORM_* value) for `nativeDisplay`, through EGL 1.5's
// eglGetPlatformDisplay or EGL_EXT_platform_base's eglGetPlatformDisplayEXT; EGL_NO_DISPLAY
// when the library offers neither.
EGLDisplay getPlatformDisplay(EGLenum platform, void* nativeDisplay);

// The display of an X connection (EGL_DEFAULT_DISPLAY: the one $DISPLAY names) on the X11
// platform where the client extensions offer it, else from eglGetDisplay.
EGLDisplay getX11Display(EGLNativeDisplayType nativeDisplay);

} // namespace KorvoSDK

#endif
