#include "EGLRuntime.h"

#include "Diagnostics.h"
#include "EGLPlatformDisplay.h"
#include "Platform.h"

#include <cstdlib>

namespace KorvoSDK {
namespace EGLRuntime {

EGLDisplay display = EGL_NO_DISPLAY;
EGLConfig config = nullptr;
EGLSurface surface = EGL_NO_SURFACE;
EGLContext context = EGL_NO_CONTEXT;
bool multisampleDontCare = false;
// Made before main, so that the platform exists (without a window) when main starts.
Platform* platform = Platform::instance();

namespace {

constexpr int samplesValue = 1;
constexpr int renderableTypeValue = 15;
constexpr int clientVersionValue = 1;

} // namespace

// clang-format off
EGLint configAttributes[] = {
    EGL_SAMPLES, 4,
    EGL_RED_SIZE, 8,
    EGL_GREEN_SIZE, 8,
    EGL_BLUE_SIZE, 8,
    EGL_ALPHA_SIZE, 0,
    EGL_BUFFER_SIZE, 32,
    EGL_STENCIL_SIZE, 0,
    EGL_RENDERABLE_TYPE, 0,
    EGL_SURFACE_TYPE, EGL_WINDOW_BIT | EGL_PIXMAP_BIT,
    EGL_DEPTH_SIZE, 16,
    EGL_NONE,
};

EGLint contextAttributes[] = {
    EGL_CONTEXT_CLIENT_VERSION, 0,
    EGL_NONE,
};

EGLint windowAttributes[] = {
    EGL_NONE,
};
// clang-format on

namespace {

// eglGetError's code, then the message with the location of the failing check.
[[noreturn]] void failWithEglError(const char* message, const char* file, int line)
{
    const EGLint code = eglGetError();
    logError("eglGetError(): %i (0x%.4x)\n", code, code);
    logError(message, file, line);
    exit(1);
}

[[noreturn]] void fail(const char* message, const char* file, int line)
{
    logError(message, file, line);
    exit(1);
}

void patchForVersion(ClientApiVersion version)
{
    switch (version) {
    case Es1:
        configAttributes[renderableTypeValue] = EGL_OPENGL_ES_BIT;
        contextAttributes[clientVersionValue] = 1;
        break;
    case Es2:
        configAttributes[renderableTypeValue] = EGL_OPENGL_ES2_BIT;
        contextAttributes[clientVersionValue] = 2;
        break;
    case Es3:
        // The ES 2 bit: ES 3 contexts come from ES 2 capable configurations.
        configAttributes[renderableTypeValue] = EGL_OPENGL_ES2_BIT;
        contextAttributes[clientVersionValue] = 3;
        break;
    }
    if (multisampleDontCare)
        configAttributes[samplesValue] = EGL_DONT_CARE;
}

bool hasSize(EGLConfig candidate, EGLint attribute, const char* file, int line)
{
    EGLint value = 0;
    if (eglGetConfigAttrib(display, candidate, attribute, &value) != EGL_TRUE)
        failWithEglError("Failed to get EGL attribute at %s:%i\n", file, line);
    return value == 8;
}

// The first configuration, in eglChooseConfig's order, with exactly 8 bits of red, green
// and blue; the others are left to eglChooseConfig's own matching and sorting.
EGLConfig chooseConfig()
{
    EGLint count = 0;
    if (eglChooseConfig(display, configAttributes, nullptr, 0, &count) != EGL_TRUE)
        failWithEglError("Failed to enumerate EGL configs at %s:%i\n", __FILE__, __LINE__);
    EGLConfig* configs = static_cast<EGLConfig*>(calloc(static_cast<size_t>(count > 0 ? count : 0), sizeof(EGLConfig)));
    if (configs == nullptr && count > 0)
        fail("Out of memory at %s:%i\n", __FILE__, __LINE__);
    if (eglChooseConfig(display, configAttributes, configs, count, &count) != EGL_TRUE)
        failWithEglError("Failed to enumerate EGL configs at %s:%i\n", __FILE__, __LINE__);
    if (count < 1)
        fail("Failed to find matching EGL config at %s:%i\n", __FILE__, __LINE__);

    for (EGLint index = 0; index < count; ++index) {
        const EGLConfig candidate = configs[index];
        if (hasSize(candidate, EGL_RED_SIZE, __FILE__, __LINE__) &&
            hasSize(candidate, EGL_GREEN_SIZE, __FILE__, __LINE__) &&
            hasSize(candidate, EGL_BLUE_SIZE, __FILE__, __LINE__)) {
            free(configs);
            return candidate;
        }
    }
    fail("Failed to find matching EGL config at %s:%i\n", __FILE__, __LINE__);
}

} // namespace

void initialize(ClientApiVersion version)
{
    display = getX11Display(platform->display);
    if (display == EGL_NO_DISPLAY)
        failWithEglError("No EGL Display available at %s:%i\n", __FILE__, __LINE__);
    if (eglInitialize(display, nullptr, nullptr) != EGL_TRUE)
        failWithEglError("Failed to initialize EGL at %s:%i\n", __FILE__, __LINE__);

    patchForVersion(version);
    config = chooseConfig();

    surface = eglCreateWindowSurface(display, config, platform->window, windowAttributes);
    if (surface == EGL_NO_SURFACE)
        failWithEglError("Failed to create EGL surface at %s:%i\n", __FILE__, __LINE__);

    eglBindAPI(EGL_OPENGL_ES_API);
    context = eglCreateContext(display, config, EGL_NO_CONTEXT, contextAttributes);
    if (context == EGL_NO_CONTEXT)
        failWithEglError("Failed to create EGL context at %s:%i\n", __FILE__, __LINE__);
}

void terminate()
{
    eglBindAPI(EGL_OPENGL_ES_API);
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context);
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(display, context);
    eglDestroySurface(display, surface);
    eglTerminate(display);
}

} // namespace EGLRuntime
} // namespace KorvoSDK
