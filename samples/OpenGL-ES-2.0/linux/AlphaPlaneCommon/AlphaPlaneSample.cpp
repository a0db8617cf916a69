#include "AlphaPlaneSample.h"

#include "AlphaPlaneGeometry.h"

#include "Diagnostics.h"
#include "ErrorChecks.h"
#include "SampleShell.h"
#include "Shader.h"
#include "Texture.h"

#include <cstdlib>

using namespace KorvoSDK;

namespace {

const std::string assetsDirectory = "assets/";
const char* const colourSuffix = ".pkm";

constexpr int windowWidth = 640;
constexpr int windowHeight = 480;

// The variant the program runs, read by the hooks.
const AlphaPlaneVariant* runningVariant = nullptr;

GLuint textureId = 0;
GLuint alphaTextureId = 0;
GLuint programId = 0;
GLint positionLocation = -1;
GLint texCoordLocation = -1;
GLint textureUniformLocation = -1;
GLint alphaUniformLocation = -1;

void enableAlphaBlending()
{
    glEnable(GL_BLEND);
    checkGl();
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    checkGl();
}

void loadTextures(const AlphaPlaneVariant& variant)
{
    const std::string textureBase = assetsDirectory + variant.textureBaseName;
    Texture::loadEtc1MipmapChain(textureBase.c_str(), colourSuffix, &textureId);
    if (variant.loadAlphaTexture == nullptr)
        return;
    glActiveTexture(GL_TEXTURE1);
    checkGl();
    variant.loadAlphaTexture(textureBase, variant.alphaSuffix, &alphaTextureId);
}

// Returns false when no program object could be made.
bool buildProgram(const AlphaPlaneVariant& variant)
{
    GLuint vertexShaderId = 0;
    GLuint fragmentShaderId = 0;
    Shader::compileFromFile(&vertexShaderId, (assetsDirectory + variant.vertexShaderFile).c_str(), GL_VERTEX_SHADER);
    Shader::compileFromFile(&fragmentShaderId, (assetsDirectory + variant.fragmentShaderFile).c_str(),
                            GL_FRAGMENT_SHADER);

    programId = Shader::createLinkedProgram(vertexShaderId, fragmentShaderId);
    if (programId == 0) {
        logError("Could not create program.");
        return false;
    }
    glUseProgram(programId);
    checkGl();
    return true;
}

void findAttributes()
{
    positionLocation = glGetAttribLocation(programId, "a_v4Position");
    checkGl();
    if (positionLocation == -1) {
        logError("Attribute not found: \"a_v4Position\"");
        exit(1);
    }
    glEnableVertexAttribArray(positionLocation);
    checkGl();

    texCoordLocation = glGetAttribLocation(programId, "a_v2TexCoord");
    checkGl();
    if (texCoordLocation != -1) {
        glEnableVertexAttribArray(texCoordLocation);
        checkGl();
    }
}

void bindSamplers(const AlphaPlaneVariant& variant)
{
    textureUniformLocation = glGetUniformLocation(programId, "u_s2dTexture");
    checkGl();
    if (textureUniformLocation != -1) {
        glUniform1i(textureUniformLocation, 0);
        checkGl();
    }
    if (variant.loadAlphaTexture == nullptr)
        return;

    alphaUniformLocation = glGetUniformLocation(programId, "u_s2dAlpha");
    checkGl();
    if (alphaUniformLocation == -1) {
        logError("Uniform not found at line %i\n", __LINE__);
        exit(1);
    }
    glUniform1i(alphaUniformLocation, 1);
    checkGl();
}

void deleteTexture(GLuint* texture)
{
    glDeleteTextures(1, texture);
    checkGl();
}

// The hooks. The window size is not used: the geometry is fixed in clip space.
bool setUpSample()
{
    if (!Texture::etc1Supported(true)) {
        logError("ETC1 not supported");
        return false;
    }
    enableAlphaBlending();
    loadTextures(*runningVariant);
    if (!buildProgram(*runningVariant))
        return false;
    findAttributes();
    bindSamplers(*runningVariant);
    glClearColor(0.125f, 0.25f, 0.5f, 1.0f);
    checkGl();
    return true;
}

// Texture bindings, sampler units and blending stay as set up; only the arrays are fed.
void drawFrame()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    checkGl();
    glUseProgram(programId);
    checkGl();
    glVertexAttribPointer(positionLocation, 3, GL_FLOAT, GL_FALSE, 0, planeVertices);
    checkGl();
    glEnableVertexAttribArray(positionLocation);
    checkGl();
    if (texCoordLocation != -1) {
        glVertexAttribPointer(texCoordLocation, 2, GL_FLOAT, GL_FALSE, 0, planeTexCoords);
        checkGl();
        glEnableVertexAttribArray(texCoordLocation);
        checkGl();
    }
    glDrawElements(GL_TRIANGLE_STRIP, planeIndexCount, GL_UNSIGNED_BYTE, planeIndices);
    checkGl();
}

void tearDownSample()
{
    deleteTexture(&textureId);
    if (alphaTextureId != 0)
        deleteTexture(&alphaTextureId);
}

} // namespace

int runAlphaPlaneSample(const AlphaPlaneVariant& variant)
{
    runningVariant = &variant;
    SampleProgram program;
    program.windowWidth = windowWidth;
    program.windowHeight = windowHeight;
    program.apiVersion = Es2;
    program.setUpSample = setUpSample;
    program.loop = SampleLoop::EveryFrame;
    program.drawFrame = drawFrame;
    program.tearDownSample = tearDownSample;
    program.startFailures = {"Could not create platform", nullptr, AfterFailedSetUp::ExitAtOnce};
    return runSample(program);
}
