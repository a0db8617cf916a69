#include "Text.h"

#include "Diagnostics.h"
#include "ErrorChecks.h"
#include "Shader.h"
#include "Texture.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace KorvoSDK {

const char* const fontFileName = "font.raw";
const char* const fontVertexShaderName = "font.vert";
const char* const fontFragmentShaderName = "font.frag";

namespace {

constexpr int fontWidth = 256;
constexpr int fontHeight = 48;
constexpr int fontBytes = fontWidth * fontHeight * 4;
constexpr int glyphWidth = 8;
constexpr int glyphHeight = 16;
constexpr int glyphColumns = fontWidth / glyphWidth;
constexpr int firstGlyphCode = 32;
constexpr int lastGlyphCode = 127;

constexpr int cornersPerCharacter = 4;
constexpr int vertexFloats = 3;
constexpr int textureCoordinateFloats = 2;
constexpr int colorFloats = 4;

// Index of the font cell for a byte; bytes without a glyph take the space cell.
int glyphIndex(unsigned char byte)
{
    if (byte < firstGlyphCode || byte > lastGlyphCode)
        return 0;
    return byte - firstGlyphCode;
}

template <typename T>
T* reallocateArray(T* array, size_t count)
{
    return static_cast<T*>(realloc(array, count * sizeof(T)));
}

[[noreturn]] void exitAttributeNotFound(const char* file, int line)
{
    logError("Attribute not found at %s:%i\n", file, line);
    exit(1);
}

} // namespace

void fillGlyphStripIndices(uint16_t* indices, int characterCount)
{
    if (characterCount <= 0)
        return;
    for (int corner = 0; corner < cornersPerCharacter; ++corner)
        *indices++ = static_cast<uint16_t>(corner);
    for (int j = 1; j < characterCount; ++j) {
        const int first = 4 * j;
        const int join[6] = {first - 1, first, first, first + 1, first + 2, first + 3};
        for (int index : join)
            *indices++ = static_cast<uint16_t>(index);
    }
}

GlyphQueue::~GlyphQueue() { clear(); }

void GlyphQueue::clear()
{
    numberOfCharacters = 0;
    free(vertexArray);
    free(textureCoordinateArray);
    free(colorArray);
    free(indexArray);
    vertexArray = nullptr;
    textureCoordinateArray = nullptr;
    colorArray = nullptr;
    indexArray = nullptr;
}

void GlyphQueue::grow(int total)
{
    const size_t corners = static_cast<size_t>(total) * cornersPerCharacter;
    vertexArray = reallocateArray(vertexArray, corners * vertexFloats);
    textureCoordinateArray = reallocateArray(textureCoordinateArray, corners * textureCoordinateFloats);
    colorArray = reallocateArray(colorArray, corners * colorFloats);
    indexArray = reallocateArray(indexArray, static_cast<size_t>(6 * total - 2));
    checkAllocation(vertexArray);
    checkAllocation(textureCoordinateArray);
    checkAllocation(colorArray);
    checkAllocation(indexArray);
}

void GlyphQueue::append(int x, int y, const char* string, int red, int green, int blue, int alpha)
{
    const size_t length = strlen(string);
    if (length == 0)
        return;
    const int old = numberOfCharacters;
    if (length > static_cast<size_t>(maximumCharacters - old)) {
        logError("Cannot queue %zu more characters after %d: Text holds at most %d between two clear() calls\n", length,
                 old, maximumCharacters);
        exit(1);
    }
    const int n = static_cast<int>(length);
    numberOfCharacters = old + n;
    grow(numberOfCharacters);
    fillGlyphStripIndices(indexArray, numberOfCharacters);

    const float colour[4] = {red / 255.0f, green / 255.0f, blue / 255.0f, alpha / 255.0f};
    for (int k = 0; k < n; ++k)
        writeCharacter(old + k, x + glyphWidth * k, y, static_cast<unsigned char>(string[k]), colour);
}

void GlyphQueue::writeCharacter(int slot, int x, int y, unsigned char byte, const float colour[4])
{
    const int glyph = glyphIndex(byte);
    const int column = glyph % glyphColumns;
    const int row = glyph / glyphColumns;
    const float s0 = static_cast<float>(glyphWidth * column) / fontWidth;
    const float s1 = static_cast<float>(glyphWidth * column + glyphWidth) / fontWidth;
    const float tTop = static_cast<float>(glyphHeight * row) / fontHeight;
    const float tBottom = static_cast<float>(glyphHeight * row + glyphHeight) / fontHeight;

    const float left = static_cast<float>(x);
    const float right = left + glyphWidth;
    const float bottom = static_cast<float>(y);
    const float top = bottom + glyphHeight;

    const float corners[cornersPerCharacter][vertexFloats] = {
        {left, bottom, 0.0f}, {right, bottom, 0.0f}, {left, top, 0.0f}, {right, top, 0.0f}};
    const float coordinates[cornersPerCharacter][textureCoordinateFloats] = {
        {s0, tBottom}, {s1, tBottom}, {s0, tTop}, {s1, tTop}};

    const size_t firstCorner = static_cast<size_t>(slot) * cornersPerCharacter;
    memcpy(vertexArray + firstCorner * vertexFloats, corners, sizeof(corners));
    memcpy(textureCoordinateArray + firstCorner * textureCoordinateFloats, coordinates, sizeof(coordinates));
    for (int corner = 0; corner < cornersPerCharacter; ++corner)
        memcpy(colorArray + (firstCorner + corner) * colorFloats, colour, colorFloats * sizeof(float));
}

Text::Text(const char* resourcePath, int windowWidth, int windowHeight)
    : projectionMatrix(Matrix::createOrthographic(0.0f, static_cast<float>(windowWidth), 0.0f,
                                                  static_cast<float>(windowHeight), 0.0f, 1.0f))
{
    createProgram(resourcePath);
    findLocations();
    createFontTexture(resourcePath);
}

void Text::createProgram(const char* resourcePath)
{
    const std::string directory = resourcePath;
    Shader::compileFromFile(&vertexShaderId, (directory + fontVertexShaderName).c_str(), GL_VERTEX_SHADER);
    Shader::compileFromFile(&fragmentShaderId, (directory + fontFragmentShaderName).c_str(), GL_FRAGMENT_SHADER);

    programId = Shader::createLinkedProgram(vertexShaderId, fragmentShaderId);
    glUseProgram(programId);
    checkGl();
}

void Text::findLocations()
{
    positionLocation = glGetAttribLocation(programId, "a_v4Position");
    checkGl();
    if (positionLocation == -1)
        exitAttributeNotFound(__FILE__, __LINE__);
    colorLocation = glGetAttribLocation(programId, "a_v4FontColor");
    checkGl();
    if (colorLocation == -1)
        exitAttributeNotFound(__FILE__, __LINE__);
    texCoordLocation = glGetAttribLocation(programId, "a_v2TexCoord");
    checkGl();
    if (texCoordLocation == -1)
        exitAttributeNotFound(__FILE__, __LINE__);

    projectionLocation = glGetUniformLocation(programId, "u_m4Projection");
    checkGl();
    if (projectionLocation != -1) {
        glUniformMatrix4fv(projectionLocation, 1, GL_FALSE, projectionMatrix.getAsArray());
        checkGl();
    }
    textureLocation = glGetUniformLocation(programId, "u_s2dTexture");
    checkGl();
    if (textureLocation != -1) {
        glUniform1i(textureLocation, 0);
        checkGl();
    }
}

void Text::createFontTexture(const char* resourcePath)
{
    glActiveTexture(GL_TEXTURE0);
    checkGl();
    glGenTextures(1, &textureId);
    checkGl();
    glBindTexture(GL_TEXTURE_2D, textureId);
    checkGl();
    const GLenum parameters[][2] = {{GL_TEXTURE_MIN_FILTER, GL_LINEAR},
                                    {GL_TEXTURE_MAG_FILTER, GL_LINEAR},
                                    {GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE},
                                    {GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE}};
    for (const auto& parameter : parameters) {
        glTexParameteri(GL_TEXTURE_2D, parameter[0], static_cast<GLint>(parameter[1]));
        checkGl();
    }

    const std::string fontPath = std::string(resourcePath) + fontFileName;
    unsigned char* font = nullptr;
    size_t length = 0;
    Texture::readWholeFile(fontPath.c_str(), &font, &length);
    // The upload reads the whole image: a shorter file would be read past its end.
    if (length < static_cast<size_t>(fontBytes)) {
        logError("Font file '%s' is %zu bytes long, a %dx%d RGBA image needs %d\n", fontPath.c_str(), length, fontWidth,
                 fontHeight, fontBytes);
        exit(1);
    }
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, fontWidth, fontHeight, 0, GL_RGBA, GL_UNSIGNED_BYTE, font);
    checkGl();
    free(font);
}

Text::~Text()
{
    queue.clear();
    glDeleteTextures(1, &textureId);
    checkGl();
    glDeleteProgram(programId);
    checkGl();
    glDeleteShader(vertexShaderId);
    checkGl();
    glDeleteShader(fragmentShaderId);
    checkGl();
}

void Text::clear() { queue.clear(); }

void Text::addString(int x, int y, const char* string, int red, int green, int blue, int alpha)
{
    queue.append(x, y, string, red, green, blue, alpha);
}

void Text::draw()
{
    glBindVertexArray(0);
    checkGl();
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    checkGl();
    if (queue.characterCount() == 0)
        return;

    glUseProgram(programId);
    checkGl();
    const struct {
        GLint location;
        GLint size;
        const float* data;
    } attributes[] = {{positionLocation, vertexFloats, queue.vertices()},
                      {colorLocation, colorFloats, queue.colors()},
                      {texCoordLocation, textureCoordinateFloats, queue.textureCoordinates()}};
    for (const auto& attribute : attributes) {
        if (attribute.location == -1)
            continue;
        glEnableVertexAttribArray(static_cast<GLuint>(attribute.location));
        checkGl();
        glVertexAttribPointer(static_cast<GLuint>(attribute.location), attribute.size, GL_FLOAT, GL_FALSE, 0,
                              attribute.data);
        checkGl();
    }
    if (projectionLocation != -1) {
        glUniformMatrix4fv(projectionLocation, 1, GL_FALSE, projectionMatrix.getAsArray());
        checkGl();
    }
    glActiveTexture(GL_TEXTURE0);
    checkGl();
    glBindTexture(GL_TEXTURE_2D, textureId);
    checkGl();
    glDrawElements(GL_TRIANGLE_STRIP, queue.indexCount(), GL_UNSIGNED_SHORT, queue.indices());
    checkGl();

    const GLint disableOrder[] = {colorLocation, texCoordLocation, positionLocation};
    for (GLint location : disableOrder) {
        if (location == -1)
            continue;
        glDisableVertexAttribArray(static_cast<GLuint>(location));
        checkGl();
    }
}

} // namespace KorvoSDK
