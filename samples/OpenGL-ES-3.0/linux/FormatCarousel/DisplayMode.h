#ifndef FORMAT_CAROUSEL_DISPLAY_MODE_H
#define FORMAT_CAROUSEL_DISPLAY_MODE_H

#include <GLES3/gl3.h>

namespace FormatCarousel {

// How the fragment shader turns a sampled texel into a visible colour. The values are
// those of the shader's "displayMode" uniform.
enum DisplayMode : GLint {
    ShowColour = 0,     // RGB / RGBA formats: as sampled
    ShowGrey = 1,       // one channel, 0..1: grey levels
    ShowSignedGrey = 2, // one channel, -1..1: grey levels, -1 black, 0 mid grey, 1 white
    // Two channels, the X and Y of a unit normal (a bump map): shown as a normal map, X, Y
    // and the Z they imply mapped from -1..1 to red, green and blue.
    ShowNormals = 3,       // X and Y stored as 0..1 for -1..1
    ShowSignedNormals = 4, // X and Y stored as -1..1
};

DisplayMode displayModeFor(GLenum internalFormat);

} // namespace FormatCarousel

#endif
