#include "FormatCarouselSample.h"

#include "CarouselStep.h"
#include "CarouselTextures.h"
#include "Diagnostics.h"
#include "DisplayMode.h"
#include "ErrorChecks.h"
#include "Matrix.h"
#include "Shader.h"
#include "Text.h"

#include <new>

using namespace KorvoSDK;

namespace FormatCarousel {

KorvoSDK::Timer frameTimer;
unsigned currentImageIndex = 0;

namespace {

constexpr float imageScale = 0.75f;

// Two triangles over -1..1; t = 0 at the top, so the file's first row is shown at the top.
// clang-format off
const GLfloat quadPositions[] = {
    -1.0f, -1.0f, 0.0f, 1.0f, -1.0f, 0.0f, -1.0f, 1.0f, 0.0f,
    -1.0f, 1.0f, 0.0f, 1.0f, -1.0f, 0.0f, 1.0f, 1.0f, 0.0f,
};
// clang-format on
// clang-format off
const GLfloat quadTextureCoordinates[] = {
    0.0f, 1.0f, 1.0f, 1.0f, 0.0f, 0.0f,
    0.0f, 0.0f, 1.0f, 1.0f, 1.0f, 0.0f,
};
// clang-format on

Text* text = nullptr;
GLuint vertexShaderId = 0;
GLuint fragmentShaderId = 0;
GLuint programId = 0;
GLint modelViewMatrixLocation = -1;
GLint textureUniformLocation = -1;
GLint displayModeLocation = -1;
GLint positionLocation = -1;
GLint texCoordLocation = -1;
GLuint vertexArrayId = 0;
GLuint bufferIds[2] = {0, 0};

void reportMissingLocation(const char* name) { logError("Could not retrieve attribute location: %s.", name); }

void fillArrayBuffer(GLuint buffer, GLsizeiptr size, const GLfloat* data)
{
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    checkGl();
    glBufferData(GL_ARRAY_BUFFER, size, data, GL_STATIC_DRAW);
    checkGl();
}

bool initializeTexturesAndBuffers()
{
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    checkGl();
    for (unsigned index = 0; index < imageCount; ++index)
        if (!initializeTexture(index))
            return false;

    glGenVertexArrays(1, &vertexArrayId);
    checkGl();
    glBindVertexArray(vertexArrayId);
    checkGl();
    glGenBuffers(2, bufferIds);
    checkGl();
    fillArrayBuffer(bufferIds[0], sizeof(quadPositions), quadPositions);
    fillArrayBuffer(bufferIds[1], sizeof(quadTextureCoordinates), quadTextureCoordinates);
    return true;
}

void linkProgram()
{
    Shader::compileFromFile(&vertexShaderId, vertexShaderPath.c_str(), GL_VERTEX_SHADER);
    Shader::compileFromFile(&fragmentShaderId, fragmentShaderPath.c_str(), GL_FRAGMENT_SHADER);
    programId = Shader::createLinkedProgram(vertexShaderId, fragmentShaderId);
    glUseProgram(programId);
    checkGl();
}

void queryLocations()
{
    modelViewMatrixLocation = glGetUniformLocation(programId, "modelViewMatrix");
    checkGl();
    positionLocation = glGetAttribLocation(programId, "attributePosition");
    checkGl();
    texCoordLocation = glGetAttribLocation(programId, "attributeTextureCoordinate");
    checkGl();
    textureUniformLocation = glGetUniformLocation(programId, "uniformTexture");
    checkGl();
    // Optional: shaders without it show every format as sampled.
    displayModeLocation = glGetUniformLocation(programId, "displayMode");
    checkGl();
}

void drawLabel(const ImageEntry& entry)
{
    if (text == nullptr)
        return;
    text->clear();
    text->addString(0, 0, entry.formatName, 255, 255, 255, 255);
    text->draw();
}

void feedAttribute(GLuint buffer, GLint location, GLint components)
{
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    checkGl();
    glEnableVertexAttribArray(location);
    checkGl();
    glVertexAttribPointer(location, components, GL_FLOAT, GL_FALSE, 0, nullptr);
    checkGl();
}

// The label, then the quad. The label's renderer unbinds the vertex array, so the quad's
// attributes are fed again on every frame. False, after saying so, when the shaders lack
// an attribute the quad needs.
bool drawCurrentImage()
{
    const ImageEntry& entry = imageArray[currentImageIndex];
    drawLabel(entry);

    glActiveTexture(GL_TEXTURE0);
    checkGl();
    glBindTexture(GL_TEXTURE_2D, entry.textureId);
    checkGl();
    glUseProgram(programId);
    checkGl();
    if (textureUniformLocation != -1) {
        glUniform1i(textureUniformLocation, 0);
        checkGl();
    }
    if (displayModeLocation != -1) {
        glUniform1i(displayModeLocation, displayModeFor(entry.internalFormat));
        checkGl();
    }

    if (positionLocation == -1) {
        reportMissingLocation("attributePosition");
        return false;
    }
    feedAttribute(bufferIds[0], positionLocation, 3);
    if (texCoordLocation == -1) {
        reportMissingLocation("attributeTextureCoordinate");
        return false;
    }
    feedAttribute(bufferIds[1], texCoordLocation, 2);

    glDrawArrays(GL_TRIANGLES, 0, 6);
    checkGl();
    return true;
}

} // namespace

bool setUpSample()
{
    if (!initializeTexturesAndBuffers())
        return false;

    // Without a renderer the formats are shown unlabelled.
    text = new (std::nothrow) Text(assetsDirectory.c_str(), windowWidth, windowHeight);

    glClearColor(0.1f, 0.3f, 0.2f, 1.0f);
    checkGl();
    const Matrix scale = Matrix::createScaling(imageScale * windowWidth, imageScale * windowHeight, 1.0f);
    const Matrix projection =
        Matrix::createOrthographic(-windowWidth, windowWidth, -windowHeight, windowHeight, -1.0f, 1.0f);

    // Blending stays on for the whole run: the label and the formats with alpha need it.
    glEnable(GL_BLEND);
    checkGl();
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    checkGl();

    linkProgram();
    queryLocations();
    if (modelViewMatrixLocation == -1) {
        reportMissingLocation("modelViewMatrix");
        return false;
    }
    const Matrix modelView = projection * scale;
    glUniformMatrix4fv(modelViewMatrixLocation, 1, GL_FALSE, modelView.getAsArray());
    checkGl();
    return true;
}

bool drawFrame()
{
    glClear(GL_COLOR_BUFFER_BIT);
    checkGl();
    advanceWhenDue(frameTimer, currentImageIndex);
    return drawCurrentImage();
}

void tearDownSample()
{
    deleteTextures();
    glDeleteBuffers(2, bufferIds);
    checkGl();
    glDeleteVertexArrays(1, &vertexArrayId);
    checkGl();
    glDeleteProgram(programId);
    checkGl();
    delete text;
    text = nullptr;
}

} // namespace FormatCarousel
