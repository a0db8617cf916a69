#include "EGLPlatformDisplay.h"

#include <EGL/eglext.h>

#include <cstdio>
#include <cstring>

namespace KorvoSDK {

namespace {

bool namesExtension(const char* extensions, const char* name)
{
    const size_t length = strlen(name);
    for (const char* at = extensions; (at = strstr(at, name)) != nullptr; at += length) {
        const bool startsWord = at == extensions || at[-1] == ' ';
        const bool endsWord = at[length] == ' ' || at[length] == '\0';
        if (startsWord && endsWord)
            return true;
    }
    return false;
}

// The client library's EGL version, from EGL 1.5 on (older ones have no client version).
bool clientIsEgl15OrLater()
{
    const char* version = eglQueryString(EGL_NO_DISPLAY, EGL_VERSION);
    int major = 0;
    int minor = 0;
    if (version == nullptr || sscanf(version, "%d.%d", &major, &minor) != 2)
        return false;
    return major > 1 || (major == 1 && minor >= 5);
}

} // namespace

bool hasClientExtension(const char* name)
{
    const char* extensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    return extensions != nullptr && namesExtension(extensions, name);
}

EGLDisplay getPlatformDisplay(EGLenum platform, void* nativeDisplay)
{
    // Looked up at run time, so that an EGL 1.4 library without either still links.
    if (hasClientExtension("EGL_EXT_platform_base")) {
        const auto getDisplay =
            reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
        if (getDisplay != nullptr)
            return getDisplay(platform, nativeDisplay, nullptr);
    }
    if (clientIsEgl15OrLater()) {
        const auto getDisplay =
            reinterpret_cast<PFNEGLGETPLATFORMDISPLAYPROC>(eglGetProcAddress("eglGetPlatformDisplay"));
        if (getDisplay != nullptr)
            return getDisplay(platform, nativeDisplay, nullptr);
    }
    return EGL_NO_DISPLAY;
}

EGLDisplay getX11Display(EGLNativeDisplayType nativeDisplay)
{
    // No fallback to eglGetDisplay once the platform is offered: its guess is what fails.
    if (hasClientExtension("EGL_KHR_platform_x11") || hasClientExtension("EGL_EXT_platform_x11"))
        return getPlatformDisplay(EGL_PLATFORM_X11_KHR, reinterpret_cast<void*>(nativeDisplay));
    return eglGetDisplay(nativeDisplay);
}

} // namespace KorvoSDK
