#include "InstancedSolidTorus.h"

#include "Diagnostics.h"
#include "ErrorChecks.h"
#include "TorusGeometry.h"

#include <cmath>
#include <cstdint>

using KorvoSDK::checkGl;
using PatchTorus::resourceDirectory;

namespace {

constexpr unsigned patchSide = 4;
constexpr unsigned patchCount = 16;
constexpr unsigned patchDensity = 16;
constexpr unsigned patchIndexCount = 6 * (patchDensity - 1) * (patchDensity - 1);

enum BindingPoint : GLuint {
    controlPointsIndicesBinding = 0,
    controlPointsVerticesBinding = 1,
};

const float pi = static_cast<float>(M_PI);

} // namespace

InstancedSolidTorus::InstancedSolidTorus(float torusRadius, float circleRadius) : Torus(torusRadius, circleRadius)
{
    setupGraphics(resourceDirectory + "PatchTorus_Instanced_shader.vert",
                  resourceDirectory + "PatchTorus_Instanced_shader.frag");
    initializeControlPointsBuffers();
    hasVertexData = initializeVertexAttribs();
    setColor(0.0f, 0.7f, 0.0f, 1.0f);
    setLightParameters();
}

InstancedSolidTorus::~InstancedSolidTorus()
{
    glDeleteBuffers(4, &controlPointsIndicesBufferId);
    checkGl();
}

bool InstancedSolidTorus::createBlockBuffer(const char* blockName, GLuint* bufferId, GLsizeiptr size, const void* data,
                                            GLuint bindingPoint)
{
    const GLuint blockIndex = glGetUniformBlockIndex(programId, blockName);
    checkGl();
    if (blockIndex == GL_INVALID_INDEX)
        return false;
    glGenBuffers(1, bufferId);
    checkGl();
    glBindBuffer(GL_UNIFORM_BUFFER, *bufferId);
    checkGl();
    glBufferData(GL_UNIFORM_BUFFER, size, data, GL_STATIC_DRAW);
    checkGl();
    glUniformBlockBinding(programId, blockIndex, bindingPoint);
    checkGl();
    glBindBufferBase(GL_UNIFORM_BUFFER, bindingPoint, *bufferId);
    checkGl();
    return true;
}

bool InstancedSolidTorus::initializeControlPointsBuffers()
{
    TorusPoint controlPoints[controlPointCount];
    std::uint32_t controlPointsIndices[patchCount * patchSide * patchSide];
    calculateControlPoints(torusRadius, circleRadius, controlPoints);
    calculateControlPointsIndices(patchSide, patchCount, controlPointsIndices);

    // Either block may be missing from the program; the other still gets its buffer.
    createBlockBuffer("ControlPointsIndices", &controlPointsIndicesBufferId, sizeof(controlPointsIndices),
                      controlPointsIndices, controlPointsIndicesBinding);
    createBlockBuffer("ControlPointsVertices", &controlPointsVerticesBufferId, sizeof(controlPoints), controlPoints,
                      controlPointsVerticesBinding);
    return true;
}

bool InstancedSolidTorus::initializeVertexAttribs()
{
    const GLint location = glGetAttribLocation(programId, "patchUVPosition");
    checkGl();
    PatchUV grid[patchDensity * patchDensity];
    std::uint32_t triangles[patchIndexCount];
    calculatePatchData(patchDensity, grid, triangles);

    glGenVertexArrays(1, &vertexArrayId);
    checkGl();
    glBindVertexArray(vertexArrayId);
    checkGl();
    if (location == -1) {
        KorvoSDK::logError("Could not locate \"patchUVposition\" input attribute in program [%d].", programId);
        return false;
    }

    glGenBuffers(1, &patchUVBufferId);
    checkGl();
    glBindBuffer(GL_ARRAY_BUFFER, patchUVBufferId);
    checkGl();
    glBufferData(GL_ARRAY_BUFFER, sizeof(grid), grid, GL_STATIC_DRAW);
    checkGl();
    glVertexAttribPointer(location, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    checkGl();
    glEnableVertexAttribArray(location);
    checkGl();

    // Bound while the vertex array is, so the array keeps it.
    glGenBuffers(1, &patchIndicesBufferId);
    checkGl();
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, patchIndicesBufferId);
    checkGl();
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, sizeof(triangles), triangles, GL_STATIC_DRAW);
    checkGl();
    return true;
}

void InstancedSolidTorus::setLightParameters()
{
    const GLint colorLocation = uniformLocation("light.lightColor");
    const GLint directionLocation = uniformLocation("light.lightDirection");
    const GLint ambientLocation = uniformLocation("light.ambientIntensity");
    glUseProgram(programId);
    checkGl();

    const float lightColor[3] = {1.0f, 1.0f, 1.0f};
    // Not normalised here; the shader takes the direction as it comes.
    const float lightDirection[3] = {static_cast<float>(std::cos(pi / 6.0)), static_cast<float>(std::sin(pi / 6.0)),
                                     2.0f};
    if (colorLocation != -1) {
        glUniform3fv(colorLocation, 1, lightColor);
        checkGl();
    }
    if (directionLocation != -1) {
        glUniform3fv(directionLocation, 1, lightDirection);
        checkGl();
    }
    if (ambientLocation != -1) {
        glUniform1f(ambientLocation, 0.2f);
        checkGl();
    }
}

void InstancedSolidTorus::draw(const float* rotationVector)
{
    // Without its grid the model has no element buffer: an indexed draw would read
    // client memory at address 0.
    if (!hasVertexData)
        return;
    const GLint rotationLocation = prepareDraw(patchIndicesBufferId);
    if (rotationLocation != -1) {
        glUniform3fv(rotationLocation, 1, rotationVector);
        checkGl();
    }
    glDrawElementsInstanced(GL_TRIANGLES, patchIndexCount, GL_UNSIGNED_INT, nullptr, patchCount);
    checkGl();
}
