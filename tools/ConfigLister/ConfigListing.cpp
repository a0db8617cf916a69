#include "ConfigListing.h"

#include "Diagnostics.h"
#include "EGLPlatformDisplay.h"

#include <cstdio>
#include <cstdlib>

using KorvoSDK::getX11Display;
using KorvoSDK::logError;
using KorvoSDK::logLine;

// clang-format off
const ConfigAttributeRow configAttributeTable[] = {
    {EGL_CONFIG_ID, " EGL_CONFIG_ID %d\n", nullptr},
    {EGL_CONFIG_CAVEAT, " Config caveat: %s ", caveatName},
    {EGL_COLOR_BUFFER_TYPE, " Colour buffer type: %s\n", colorBufferTypeName},
    {EGL_BUFFER_SIZE, " Colour depth: %d", nullptr},
    {EGL_RED_SIZE, "     Red   %d ", nullptr},
    {EGL_GREEN_SIZE, "     Green %d ", nullptr},
    {EGL_BLUE_SIZE, "     Blue  %d ", nullptr},
    {EGL_ALPHA_SIZE, "     Alpha %d\n", nullptr},
    {EGL_DEPTH_SIZE, " Z-buffer bits: %d\n", nullptr},
    {EGL_SAMPLES, " %dx anti-aliasing\n", nullptr},
    {EGL_SURFACE_TYPE, " Surfaces: %s\n ", surfaceTypeName},
    {EGL_RENDERABLE_TYPE, " API support: %s\n", renderableTypeName},
    {EGL_NONE, nullptr, nullptr},
};
// clang-format on

const char* caveatName(EGLint value)
{
    switch (value) {
    case EGL_NONE:
        return "Normal";
    case EGL_SLOW_CONFIG:
        return "Slow";
    case EGL_NON_CONFORMANT_CONFIG:
        return "Non-conformant";
    default:
        return "Unknown EGL_CONFIG_CAVEAT";
    }
}

const char* colorBufferTypeName(EGLint value)
{
    switch (value) {
    case EGL_RGB_BUFFER:
        return "RGB colour buffer";
    case EGL_LUMINANCE_BUFFER:
        return "Luminance buffer";
    default:
        return "Unknown EGL_COLOR_BUFFER_TYPE";
    }
}

const char* surfaceTypeName(EGLint mask)
{
    static const char* const names[8] = {
        "None!",  "PBuffer",        "Pixmap",        "PBuffer+Pixmap",
        "Window", "Window+PBuffer", "Window+Pixmap", "Window+Pixmap+PBuffer",
    };
    return names[mask & 7];
}

const char* renderableTypeName(EGLint mask)
{
    static const char* const names[8] = {
        "No API support(?)",
        "OpenGL ES",
        "OpenVG",
        "OpenGL ES, OpenVG",
        "OpenGL ES 2.0",
        "OpenGL ES, OpenGL ES 2.0",
        "OpenGL ES 2.0, OpenVG",
        "OpenGL ES, OpenGL ES 2.0, OpenVG",
    };
    return names[mask & 7];
}

void printConfig(EGLDisplay display, const EGLConfig* configs, int index)
{
    logLine("Config number %d in returned configs\n", index);
    for (int row = 0; configAttributeTable[row].attribute != EGL_NONE; ++row) {
        const ConfigAttributeRow& entry = configAttributeTable[row];
        EGLint value = 0;
        if (eglGetConfigAttrib(display, configs[index], entry.attribute, &value) == EGL_FALSE) {
            logError("eglGetConfigAttrib failed (%d, %d)\n", index, row);
            continue;
        }
        if (entry.formatter != nullptr)
            logLine(entry.format, entry.formatter(value));
        else
            logLine(entry.format, value);
    }
    logLine("\n");
}

bool listConfigs()
{
    // The default X display, as the windowed programs open it, whatever $EGL_PLATFORM says.
    EGLDisplay display = getX11Display(EGL_DEFAULT_DISPLAY);
    if (display == EGL_NO_DISPLAY)
        return false;
    EGLint major = 0;
    EGLint minor = 0;
    if (eglInitialize(display, &major, &minor) == EGL_FALSE)
        return false;
    const char* vendor = eglQueryString(display, EGL_VENDOR);
    if (vendor == nullptr)
        return false;
    logLine("EGL_VENDOR = %s, version %d.%d\n", vendor, major, minor);

    EGLint count = 0;
    if (eglGetConfigs(display, nullptr, 0, &count) == EGL_FALSE)
        return false;
    EGLConfig* configs =
        static_cast<EGLConfig*>(malloc(sizeof(EGLConfig) * static_cast<size_t>(count > 0 ? count : 1)));
    if (configs == nullptr)
        return false;
    if (eglGetConfigs(display, configs, count, &count) == EGL_FALSE) {
        free(configs);
        return false;
    }
    for (int index = 0; index < count; ++index)
        printConfig(display, configs, index);
    free(configs);
    // Nothing of the listing goes to standard output; the flush has nothing to lose.
    (void)fflush(stdout);
    eglTerminate(display);
    return true;
}
