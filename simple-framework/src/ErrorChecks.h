#ifndef KORVO_ERROR_CHECKS_H
#define KORVO_ERROR_CHECKS_H

// Checks placed after EGL and GL calls. Kept apart from the diagnostics so that a program
// that only logs (ConfigLister) does not pull in the GL library.

namespace KorvoSDK {

// Reads eglGetError(); anything but EGL_SUCCESS prints the code in decimal and as eight
// hexadecimal digits with the location of the check, then exits with status 1.
void checkEglAt(const char* file, int line);

// Any glGetError() other than GL_NO_ERROR ends the process with status 1, silently.
void checkGl();

} // namespace KorvoSDK

#define checkEgl() ::KorvoSDK::checkEglAt(__FILE__, __LINE__)

#endif
