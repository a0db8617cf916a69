#ifndef CONFIG_LISTING_H
#define CONFIG_LISTING_H

#include <EGL/egl.h>

// The listing of every EGL framebuffer configuration of the default display, on stderr.

struct ConfigAttributeRow {
    EGLint attribute;                       // EGL_NONE ends the table
    const char* format;                     // the line printed, one conversion for the value or its name
    const char* (*formatter)(EGLint value); // null: the format takes the integer
};

extern const ConfigAttributeRow configAttributeTable[];

const char* caveatName(EGLint value);
const char* colorBufferTypeName(EGLint value);
// Named by the low three bits only (pbuffer, pixmap, window); higher bits are ignored.
const char* surfaceTypeName(EGLint mask);
// Named by the low three bits only (ES, VG, ES 2); the ES 3 and desktop GL bits are ignored.
const char* renderableTypeName(EGLint mask);

void printConfig(EGLDisplay display, const EGLConfig* configs, int index);

// False when the display cannot be opened or initialised, has no vendor string, or its
// configurations cannot be read.
bool listConfigs();

#endif
