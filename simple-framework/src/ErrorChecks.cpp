#include "ErrorChecks.h"

#include "Diagnostics.h"

#include <EGL/egl.h>
#include <GLES3/gl3.h>

#include <cstdlib>

namespace KorvoSDK {

void checkEglAt(const char* file, int line)
{
    const EGLint code = eglGetError();
    if (code == EGL_SUCCESS)
        return;
    logError("eglGetError() = %i (0x%.8x) at %s:%i\n", code, code, file, line);
    exit(1);
}

void checkGl()
{
    if (glGetError() != GL_NO_ERROR)
        exit(1);
}

} // namespace KorvoSDK
