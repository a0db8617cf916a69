#include "CellAutomatonSample.h"

#include "CellGrid.h"
#include "ErrorChecks.h"
#include "Matrix.h"
#include "Shader.h"
#include "Texture.h"

using KorvoSDK::checkGl;
using KorvoSDK::Matrix;

namespace CellAutomaton {

std::string assetsDirectory = "assets/";
unsigned char* cellData = nullptr;
GLuint pingTextureId = 0;
GLuint pongTextureId = 0;

namespace {

const char* const rule30VertexShaderName = "CellAutomaton_Rule30_shader.vert";
const char* const rule30FragmentShaderName = "CellAutomaton_Rule30_shader.frag";
const char* const mergeVertexShaderName = "CellAutomaton_Merge_shader.vert";
const char* const mergeFragmentShaderName = "CellAutomaton_Merge_shader.frag";

// One pass per row: the last one lies a full texture height below the top edge.
constexpr int generationCount = gridHeight;
// One cell in texture coordinates.
constexpr float inputNeighbour = 1.0f / gridWidth;
constexpr GLint pingUnit = 0;
constexpr GLint pongUnit = 1;

// w = 0.5: with mvpMatrix, diagonal (1, 0.5, -1, 1), the line lies on the top edge of the
// viewport and spans its width, and the quad covers the whole viewport.
const GLfloat linePositions[] = {-0.5f, 1.0f, 0.0f, 0.5f, 0.5f, 1.0f, 0.0f, 0.5f};
const GLfloat lineTextureCoordinates[] = {0.0f, 1.0f, 1.0f, 1.0f};
const GLfloat screenQuadPositions[] = {
    -0.5f, 1.0f, 0.0f, 0.5f, 0.5f, 1.0f, 0.0f, 0.5f, -0.5f, -1.0f, 0.0f, 0.5f, 0.5f, -1.0f, 0.0f, 0.5f,
};
const GLfloat screenQuadTextureCoordinates[] = {0.0f, 1.0f, 1.0f, 1.0f, 0.0f, 0.0f, 1.0f, 0.0f};

GLuint framebufferId = 0;
GLuint rule30ProgramId = 0;
GLuint mergeProgramId = 0;
GLuint rule30VertexArrayId = 0;
GLuint mergeVertexArrayId = 0;
GLuint lineBufferIds[2] = {0, 0};
GLuint quadBufferIds[2] = {0, 0};
bool rule30UniformsPending = true;
bool mergeUniformsPending = true;
Matrix mvpMatrix;

// A GL_R8UI texture of the grid's size on `unit`, left bound there. Integer textures cannot
// be filtered, so both filters are GL_NEAREST.
void createCellTexture(GLenum unit, GLuint textureId, const unsigned char* cells)
{
    glActiveTexture(unit);
    checkGl();
    glBindTexture(GL_TEXTURE_2D, textureId);
    checkGl();
    glTexImage2D(GL_TEXTURE_2D, 0, GL_R8UI, gridWidth, gridHeight, 0, GL_RED_INTEGER, GL_UNSIGNED_BYTE, cells);
    checkGl();
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    checkGl();
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    checkGl();
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    checkGl();
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    checkGl();
}

void createCellTextures()
{
    GLuint textureIds[2];
    glGenTextures(2, textureIds);
    checkGl();
    pingTextureId = textureIds[0];
    pongTextureId = textureIds[1];
    createCellTexture(GL_TEXTURE0, pingTextureId, cellData);
    // Pong starts dead rather than undefined: the passes write only its odd-generation rows.
    unsigned char* deadGrid = nullptr;
    KorvoSDK::Texture::createFilledData(gridWidth, gridHeight, deadCell, &deadGrid);
    createCellTexture(GL_TEXTURE1, pongTextureId, deadGrid);
    KorvoSDK::Texture::releaseData(&deadGrid);
}

void createPrograms()
{
    const std::string rule30VertexShaderPath = assetsDirectory + rule30VertexShaderName;
    const std::string rule30FragmentShaderPath = assetsDirectory + rule30FragmentShaderName;
    const std::string mergeVertexShaderPath = assetsDirectory + mergeVertexShaderName;
    const std::string mergeFragmentShaderPath = assetsDirectory + mergeFragmentShaderName;

    GLuint rule30VertexShaderId = 0;
    GLuint mergeVertexShaderId = 0;
    GLuint rule30FragmentShaderId = 0;
    GLuint mergeFragmentShaderId = 0;
    KorvoSDK::Shader::compileFromFile(&rule30VertexShaderId, rule30VertexShaderPath.c_str(), GL_VERTEX_SHADER);
    KorvoSDK::Shader::compileFromFile(&mergeVertexShaderId, mergeVertexShaderPath.c_str(), GL_VERTEX_SHADER);
    KorvoSDK::Shader::compileFromFile(&rule30FragmentShaderId, rule30FragmentShaderPath.c_str(), GL_FRAGMENT_SHADER);
    KorvoSDK::Shader::compileFromFile(&mergeFragmentShaderId, mergeFragmentShaderPath.c_str(), GL_FRAGMENT_SHADER);

    rule30ProgramId = KorvoSDK::Shader::createLinkedProgram(rule30VertexShaderId, rule30FragmentShaderId);
    mergeProgramId = KorvoSDK::Shader::createLinkedProgram(mergeVertexShaderId, mergeFragmentShaderId);
}

// Feeds the program's attribute from its own buffer; an attribute the program lacks is
// skipped, and stays disabled.
void uploadAttribute(GLuint programId, const char* name, GLuint bufferId, GLsizeiptr bytes, const GLfloat* values,
                     GLint components)
{
    const GLint location = glGetAttribLocation(programId, name);
    checkGl();
    if (location == -1)
        return;
    glBindBuffer(GL_ARRAY_BUFFER, bufferId);
    checkGl();
    glBufferData(GL_ARRAY_BUFFER, bytes, values, GL_STATIC_DRAW);
    checkGl();
    glVertexAttribPointer(static_cast<GLuint>(location), components, GL_FLOAT, GL_FALSE, 0, nullptr);
    checkGl();
    glEnableVertexAttribArray(static_cast<GLuint>(location));
    checkGl();
}

struct Geometry {
    const GLfloat* positions;
    GLsizeiptr positionBytes;
    const GLfloat* textureCoordinates;
    GLsizeiptr textureCoordinateBytes;
};

void createVertexArray(GLuint* vertexArrayId, GLuint programId, const GLuint bufferIds[2], const Geometry& geometry)
{
    glGenVertexArrays(1, vertexArrayId);
    checkGl();
    glBindVertexArray(*vertexArrayId);
    checkGl();
    uploadAttribute(programId, "position", bufferIds[0], geometry.positionBytes, geometry.positions, 4);
    uploadAttribute(programId, "vertexTexCoord", bufferIds[1], geometry.textureCoordinateBytes,
                    geometry.textureCoordinates, 2);
}

void createVertexArrays()
{
    GLuint bufferIds[4];
    glGenBuffers(4, bufferIds);
    checkGl();
    lineBufferIds[0] = bufferIds[0];
    lineBufferIds[1] = bufferIds[1];
    quadBufferIds[0] = bufferIds[2];
    quadBufferIds[1] = bufferIds[3];
    glGenFramebuffers(1, &framebufferId);
    checkGl();

    createVertexArray(&rule30VertexArrayId, rule30ProgramId, lineBufferIds,
                      {linePositions, sizeof(linePositions), lineTextureCoordinates, sizeof(lineTextureCoordinates)});
    createVertexArray(&mergeVertexArrayId, mergeProgramId, quadBufferIds,
                      {screenQuadPositions, sizeof(screenQuadPositions), screenQuadTextureCoordinates,
                       sizeof(screenQuadTextureCoordinates)});
}

GLint uniformLocation(GLuint programId, const char* name)
{
    const GLint location = glGetUniformLocation(programId, name);
    checkGl();
    return location;
}

void uploadMatrix(GLint location, const Matrix& matrix)
{
    glUniformMatrix4fv(location, 1, GL_FALSE, matrix.getAsArray());
    checkGl();
}

void setUniform(GLint location, GLfloat value)
{
    glUniform1f(location, value);
    checkGl();
}

void setSampler(GLint location, GLint unit)
{
    glUniform1i(location, unit);
    checkGl();
}

void useProgramWithVertexArray(GLuint programId, GLuint vertexArrayId)
{
    glUseProgram(programId);
    checkGl();
    glBindVertexArray(vertexArrayId);
    checkGl();
}

} // namespace

bool setUpSample()
{
    mvpMatrix = Matrix::createOrthographic(-800.0f, 800.0f, -1200.0f, 1200.0f, -1.0f, 1.0f) *
        Matrix::createScaling(800.0f, 600.0f, 1.0f);
    // New programs hold none of the constant uniforms yet.
    rule30UniformsPending = true;
    mergeUniformsPending = true;

    KorvoSDK::Texture::createFilledData(gridWidth, gridHeight, deadCell, &cellData);
    placeSeedCell(cellData);
    createCellTextures();
    createPrograms();
    createVertexArrays();

    glLineWidth(1.5f);
    checkGl();
    return true;
}

void computeGenerations()
{
    const GLint inputTextureLocation = uniformLocation(rule30ProgramId, "inputTexture");
    const GLint verticalOffsetLocation = uniformLocation(rule30ProgramId, "verticalOffset");
    const GLint mvpMatrixLocation = uniformLocation(rule30ProgramId, "mvpMatrix");
    const GLint inputVerticalOffsetLocation = uniformLocation(rule30ProgramId, "inputVerticalOffset");
    const GLint inputNeighbourLocation = uniformLocation(rule30ProgramId, "inputNeighbour");

    useProgramWithVertexArray(rule30ProgramId, rule30VertexArrayId);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, framebufferId);
    checkGl();

    if (rule30UniformsPending) {
        const GLenum drawBuffers[] = {GL_COLOR_ATTACHMENT0};
        glDrawBuffers(1, drawBuffers);
        checkGl();
        uploadMatrix(mvpMatrixLocation, mvpMatrix);
        setUniform(inputNeighbourLocation, inputNeighbour);
        rule30UniformsPending = false;
    }

    float previous = 0.0f;
    for (int generation = 1; generation <= generationCount; ++generation) {
        const float current = static_cast<float>(static_cast<double>(generation) / generationCount);
        setUniform(verticalOffsetLocation, current);
        setUniform(inputVerticalOffsetLocation, previous);

        const bool odd = generation % 2 == 1;
        glFramebufferTexture2D(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D,
                               odd ? pongTextureId : pingTextureId, 0);
        checkGl();
        setSampler(inputTextureLocation, odd ? pingUnit : pongUnit);

        glDrawArrays(GL_LINES, 0, 2);
        checkGl();
        previous = current;
    }

    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    checkGl();
}

void mergeTextures()
{
    const GLint mvpMatrixLocation = uniformLocation(mergeProgramId, "mvpMatrix");
    const GLint pingTextureLocation = uniformLocation(mergeProgramId, "pingTexture");
    const GLint pongTextureLocation = uniformLocation(mergeProgramId, "pongTexture");

    useProgramWithVertexArray(mergeProgramId, mergeVertexArrayId);

    if (mergeUniformsPending) {
        uploadMatrix(mvpMatrixLocation, mvpMatrix);
        setSampler(pingTextureLocation, pingUnit);
        setSampler(pongTextureLocation, pongUnit);
        mergeUniformsPending = false;
    }

    // The quad covers every pixel, so nothing is cleared first.
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    checkGl();
}

void drawFrame()
{
    computeGenerations();
    mergeTextures();
}

void reseedAutomaton()
{
    KorvoSDK::Texture::releaseData(&cellData);
    KorvoSDK::Texture::createFilledData(gridWidth, gridHeight, deadCell, &cellData);
    fillRandomRow(gridWidth, gridHeight, 1, &cellData);

    // Ping stays bound to unit 0 for the whole run. Pong needs nothing: the next passes
    // rewrite every row of it that holds a generation.
    glActiveTexture(GL_TEXTURE0);
    checkGl();
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, gridWidth, gridHeight, GL_RED_INTEGER, GL_UNSIGNED_BYTE, cellData);
    checkGl();
}

void tearDownSample()
{
    KorvoSDK::Texture::releaseData(&cellData);
    cellData = nullptr;
}

} // namespace CellAutomaton
