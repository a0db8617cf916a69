#ifndef FORMAT_CAROUSEL_DISPLAY_MODE_H
#define FORMAT_CAROUSEL_DISPLAY_MODE_H

#include <GLES3/gl3.h>

// How the fragment shader turns a sampled texel into a visible colour. The values are
// those of the shader's "displayMode" uniform.
enum DisplayMode : GLint {
    ShowColour = 0,         // RGB / RGBA formats: as sampled
    ShowGrey = 1,           // one channel, 0..1: grey levels
    ShowSignedGrey = 2,     // one channel, -1..1: grey levels, -1 black, 0 mid grey, 1 white
    ShowRedGreen = 3,       // two channels, 0..1: red and green, blue 0
    ShowSignedRedGreen = 4, // two channels, -1..1: each mapped to 0..1, blue 0
};

DisplayMode displayModeFor(GLenum internalFormat);

#endif
