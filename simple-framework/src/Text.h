#ifndef KORVO_TEXT_H
#define KORVO_TEXT_H

#include "Matrix.h"

#include <GLES3/gl3.h>

#include <cstdint>

namespace KorvoSDK {

// File names joined to Text's resourcePath.
extern const char* const fontFileName;           // "font.raw": 256 x 48 RGBA, no header
extern const char* const fontVertexShaderName;   // "font.vert"
extern const char* const fontFragmentShaderName; // "font.frag"

// The client-side arrays of queued glyph quads, built without touching the GL. Each
// character is an 8 x 16 pixel quad of four corners (bottom-left, bottom-right, top-left,
// top-right), and all characters form one triangle strip joined by degenerate triangles.
//
// The font is a grid of 32 x 3 cells holding the characters 32 (space) to 127. Any other
// byte takes the space cell, so it still advances by one cell but samples inside the font.
class GlyphQueue {
public:
    // The strip's indices are 16-bit: 16384 characters reach the highest index, 65535.
    static constexpr int maximumCharacters = 16384;

    GlyphQueue() = default;
    ~GlyphQueue();
    GlyphQueue(const GlyphQueue&) = delete;
    GlyphQueue& operator=(const GlyphQueue&) = delete;

    // Frees the arrays; the queue is empty with null arrays afterwards.
    void clear();

    // Appends one quad per byte of `string` (no line breaking), the first with its
    // bottom-left corner at (x, y) and each next one 8 pixels to the right; colour
    // components are 0..255. An empty string changes nothing. More characters than
    // maximumCharacters in the queue end the process with an "Error: " message.
    void append(int x, int y, const char* string, int red, int green, int blue, int alpha);

    int characterCount() const { return numberOfCharacters; }
    int indexCount() const { return numberOfCharacters > 0 ? 6 * numberOfCharacters - 2 : 0; }
    const float* vertices() const { return vertexArray; }                      // x, y, z per corner
    const float* textureCoordinates() const { return textureCoordinateArray; } // s, t per corner
    const float* colors() const { return colorArray; }                         // r, g, b, a per corner
    const uint16_t* indices() const { return indexArray; }

private:
    void grow(int total);
    void writeCharacter(int slot, int x, int y, unsigned char byte, const float colour[4]);

    int numberOfCharacters = 0;
    float* vertexArray = nullptr;
    float* textureCoordinateArray = nullptr;
    float* colorArray = nullptr;
    uint16_t* indexArray = nullptr;
};

// Strip indices for `characterCount` quads: 0, 1, 2, 3, then 4j - 1, 4j, 4j, 4j + 1, 4j + 2,
// 4j + 3 for each further quad j.
void fillGlyphStripIndices(uint16_t* indices, int characterCount);

// Bitmap-font text over an OpenGL ES 3.0 scene: queue strings with addString, draw them all
// with one indexed draw from client memory. The caller sets up blending. Construction and
// destruction need the context current; the destructor deletes the font texture, program
// and shaders.
class Text {
public:
    // resourcePath is a directory prefix ending in a path separator, holding the font and
    // its two shaders. windowWidth x windowHeight pixels map onto the viewport.
    Text(const char* resourcePath, int windowWidth, int windowHeight);
    virtual ~Text();
    Text(const Text&) = delete;
    Text& operator=(const Text&) = delete;

    void clear();
    // x, y in window pixels from the bottom-left corner of the window.
    void addString(int x, int y, const char* string, int red, int green, int blue, int alpha);
    // Draws the queue (which stays queued). Always leaves vertex array object 0 and array
    // buffer 0 bound, since the arrays come from client memory.
    void draw();

private:
    void createProgram(const char* resourcePath);
    void findLocations();
    void createFontTexture(const char* resourcePath);

    Matrix projectionMatrix;
    GlyphQueue queue;
    GLint positionLocation = -1;
    GLint projectionLocation = -1;
    GLint colorLocation = -1;
    GLint texCoordLocation = -1;
    GLint textureLocation = -1;
    GLuint vertexShaderId = 0;
    GLuint fragmentShaderId = 0;
    GLuint programId = 0;
    GLuint textureId = 0;
};

} // namespace KorvoSDK

#endif
