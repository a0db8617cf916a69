#ifndef ALPHA_PLANE_SAMPLE_H
#define ALPHA_PLANE_SAMPLE_H

#include <GLES2/gl2.h>

#include <string>

// The three ETC1 alpha programs draw the same picture: an ETC1 mipmap chain on texture
// unit 0, blended over a blue background in nine ever smaller quads. They differ only in
// where the alpha comes from, which each program states in its AlphaPlaneVariant.
struct AlphaPlaneVariant {
    // Level L of the colour chain is "assets/" + textureBaseName + L + ".pkm".
    const char* textureBaseName;
    const char* vertexShaderFile;
    const char* fragmentShaderFile;
    // Appended to "assets/" + textureBaseName by loadAlphaTexture; null with no alpha texture.
    const char* alphaSuffix;
    // Makes the alpha texture on the active unit (unit 1) and stores its name. Null when the
    // colour texture carries the alpha itself; the shaders then need no "u_s2dAlpha".
    void (*loadAlphaTexture)(const std::string& textureBase, const char* alphaSuffix, GLuint* alphaTextureId);
};

// The program's main: a 640 x 480 OpenGL ES 2.0 window drawn every frame. A failed set-up
// has printed its own message and ends the process with status 1 at once.
int runAlphaPlaneSample(const AlphaPlaneVariant& variant);

#endif
