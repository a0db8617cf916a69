#include "WireframeTorus.h"

#include "Diagnostics.h"
#include "ErrorChecks.h"
#include "TorusGeometry.h"

#include <cstdint>

using KorvoSDK::checkGl;
using PatchTorus::resourceDirectory;

namespace {

constexpr unsigned circlesCount = 12;
constexpr unsigned pointsPerCircle = 12;
constexpr unsigned pointCount = circlesCount * pointsPerCircle;
constexpr unsigned lineIndexCount = 4 * pointCount;

} // namespace

WireframeTorus::WireframeTorus(float torusRadius, float circleRadius) : Torus(torusRadius, circleRadius)
{
    setupGraphics(resourceDirectory + "PatchTorus_Wireframe_shader.vert",
                  resourceDirectory + "PatchTorus_Wireframe_shader.frag");
    initializeIndices();
    hasVertexData = initializeVertexAttribs();
    setColor(1.0f, 0.3f, 0.0f, 1.0f);
}

WireframeTorus::~WireframeTorus()
{
    glDeleteBuffers(1, &indicesBufferId);
    checkGl();
}

void WireframeTorus::initializeIndices()
{
    std::uint32_t lines[lineIndexCount];
    calculateWireframeIndices(circlesCount, pointsPerCircle, lines);
    // No vertex array exists yet, so this binding is not kept: draw binds the buffer again.
    glGenBuffers(1, &indicesBufferId);
    checkGl();
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indicesBufferId);
    checkGl();
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, sizeof(lines), lines, GL_STATIC_DRAW);
    checkGl();
}

bool WireframeTorus::initializeVertexAttribs()
{
    const GLint location = glGetAttribLocation(programId, "position");
    checkGl();
    TorusPoint points[pointCount];
    calculateTorusVertices(torusRadius, circleRadius, circlesCount, pointsPerCircle, points);

    glGenVertexArrays(1, &vertexArrayId);
    checkGl();
    glBindVertexArray(vertexArrayId);
    checkGl();
    if (location == -1) {
        KorvoSDK::logError("Could not locate \"position\" input attribute in program [%d].", programId);
        return false;
    }

    // The buffer's name is not kept: it lives as long as the context.
    GLuint vertexBufferId = 0;
    glGenBuffers(1, &vertexBufferId);
    checkGl();
    glBindBuffer(GL_ARRAY_BUFFER, vertexBufferId);
    checkGl();
    glBufferData(GL_ARRAY_BUFFER, sizeof(points), points, GL_STATIC_DRAW);
    checkGl();
    glVertexAttribPointer(location, 4, GL_FLOAT, GL_FALSE, 0, nullptr);
    checkGl();
    glEnableVertexAttribArray(location);
    checkGl();
    return true;
}

void WireframeTorus::draw(const float* rotationVector)
{
    // Without its points the lines would be drawn from no vertex data at all.
    if (!hasVertexData)
        return;
    const GLint rotationLocation = prepareDraw(indicesBufferId);
    glUniform3fv(rotationLocation, 1, rotationVector);
    checkGl();
    glDrawElements(GL_LINES, lineIndexCount, GL_UNSIGNED_INT, nullptr);
    checkGl();
}
