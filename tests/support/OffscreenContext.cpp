#include "OffscreenContext.h"

#include "EGLPlatformDisplay.h"

#include <EGL/eglext.h>

#include <cstdlib>
#include <cstring>
#include <vector>

using KorvoSDK::getPlatformDisplay;
using KorvoSDK::hasClientExtension;

namespace {

// Mesa's surfaceless platform needs no X connection for a pbuffer.
EGLDisplay surfacelessDisplay()
{
    if (!hasClientExtension("EGL_MESA_platform_surfaceless"))
        return EGL_NO_DISPLAY;
    return getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY);
}

// The first EGL device: what a GPU vendor's driver offers a program without a window system.
EGLDeviceEXT firstDevice()
{
    if (!hasClientExtension("EGL_EXT_platform_device") || !hasClientExtension("EGL_EXT_device_enumeration"))
        return EGL_NO_DEVICE_EXT;
    const auto queryDevices = reinterpret_cast<PFNEGLQUERYDEVICESEXTPROC>(eglGetProcAddress("eglQueryDevicesEXT"));
    EGLDeviceEXT device = EGL_NO_DEVICE_EXT;
    EGLint count = 0;
    if (queryDevices == nullptr || queryDevices(1, &device, &count) != EGL_TRUE || count < 1)
        return EGL_NO_DEVICE_EXT;
    return device;
}

// Mesa names its software rasteriser's device; a GPU's device is the one to test on.
bool isSoftwareDevice(EGLDeviceEXT device)
{
    const auto queryString =
        reinterpret_cast<PFNEGLQUERYDEVICESTRINGEXTPROC>(eglGetProcAddress("eglQueryDeviceStringEXT"));
    const char* extensions = queryString != nullptr ? queryString(device, EGL_EXTENSIONS) : nullptr;
    return extensions != nullptr && strstr(extensions, "EGL_MESA_device_software") != nullptr;
}

EGLDisplay deviceDisplay(EGLDeviceEXT device)
{
    return device == EGL_NO_DEVICE_EXT ? EGL_NO_DISPLAY : getPlatformDisplay(EGL_PLATFORM_DEVICE_EXT, device);
}

EGLDisplay initializedDisplay(EGLDisplay display)
{
    if (display == EGL_NO_DISPLAY || eglInitialize(display, nullptr, nullptr) != EGL_TRUE)
        return EGL_NO_DISPLAY;
    return display;
}

// A GPU's device first, then Mesa's surfaceless platform (which GLVND may offer beside a GPU
// vendor's driver, but which runs on Mesa's rasterisers), then any device.
// KORVO_TEST_EGL_PLATFORM=device skips the surfaceless platform, so that the device path can
// be tried on Mesa, whose software device comes first there.
EGLDisplay openDisplay(const char** platform)
{
    const char* forced = getenv("KORVO_TEST_EGL_PLATFORM");
    const bool deviceOnly = forced != nullptr && strcmp(forced, "device") == 0;
    const EGLDeviceEXT device = firstDevice();
    const bool preferDevice = deviceOnly || (device != EGL_NO_DEVICE_EXT && !isSoftwareDevice(device));
    EGLDisplay display = EGL_NO_DISPLAY;
    if (!preferDevice && (display = initializedDisplay(surfacelessDisplay())) != EGL_NO_DISPLAY)
        *platform = "surfaceless";
    else if ((display = initializedDisplay(deviceDisplay(device))) != EGL_NO_DISPLAY)
        *platform = "device";
    else if ((display = initializedDisplay(eglGetDisplay(EGL_DEFAULT_DISPLAY))) != EGL_NO_DISPLAY)
        *platform = "default";
    return display;
}

EGLint configValue(EGLDisplay display, EGLConfig config, EGLint attribute)
{
    EGLint value = 0;
    eglGetConfigAttrib(display, config, attribute, &value);
    return value;
}

// The first pbuffer configuration with exactly 8 bits per channel: eglChooseConfig puts
// deeper ones (10-bit colour on many GPUs) first, which would change what the tests read back.
bool chooseConfig(EGLDisplay display, EGLConfig* chosen)
{
    // clang-format off
    const EGLint attributes[] = {
        EGL_SURFACE_TYPE, EGL_PBUFFER_BIT,
        EGL_RENDERABLE_TYPE, EGL_OPENGL_ES3_BIT,
        EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_ALPHA_SIZE, 8,
        EGL_DEPTH_SIZE, 16,
        EGL_NONE,
    };
    // clang-format on
    EGLint count = 0;
    if (eglChooseConfig(display, attributes, nullptr, 0, &count) != EGL_TRUE || count < 1)
        return false;
    std::vector<EGLConfig> configs(static_cast<size_t>(count));
    if (eglChooseConfig(display, attributes, configs.data(), count, &count) != EGL_TRUE)
        return false;
    for (EGLint i = 0; i < count; ++i) {
        const EGLConfig config = configs[static_cast<size_t>(i)];
        if (configValue(display, config, EGL_RED_SIZE) == 8 && configValue(display, config, EGL_GREEN_SIZE) == 8 &&
            configValue(display, config, EGL_BLUE_SIZE) == 8 && configValue(display, config, EGL_ALPHA_SIZE) == 8) {
            *chosen = config;
            return true;
        }
    }
    return false;
}

} // namespace

OffscreenContext::OffscreenContext(int width, int height)
{
    display = openDisplay(&platformName);
    EGLConfig config;
    if (display == EGL_NO_DISPLAY || !chooseConfig(display, &config))
        return;
    const EGLint surfaceAttributes[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    surface = eglCreatePbufferSurface(display, config, surfaceAttributes);
    if (surface == EGL_NO_SURFACE)
        return;
    eglBindAPI(EGL_OPENGL_ES_API);
    const EGLint contextAttributes[] = {EGL_CONTEXT_CLIENT_VERSION, 3, EGL_NONE};
    EGLContext candidate = eglCreateContext(display, config, EGL_NO_CONTEXT, contextAttributes);
    if (candidate == EGL_NO_CONTEXT)
        return;
    if (eglMakeCurrent(display, surface, surface, candidate) != EGL_TRUE) {
        eglDestroyContext(display, candidate);
        return;
    }
    context = candidate;
}

OffscreenContext::~OffscreenContext()
{
    if (display == EGL_NO_DISPLAY)
        return;
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (context != EGL_NO_CONTEXT)
        eglDestroyContext(display, context);
    if (surface != EGL_NO_SURFACE)
        eglDestroySurface(display, surface);
    eglTerminate(display);
}
