#include "Torus.h"

#include "ErrorChecks.h"
#include "Shader.h"

using KorvoSDK::checkGl;
using KorvoSDK::Matrix;

std::string PatchTorus::resourceDirectory;

namespace {

const float cameraDistance = 2.5f;
const float modelScale = 0.7f;

void uploadMatrix(GLint location, const Matrix& matrix)
{
    glUniformMatrix4fv(location, 1, GL_FALSE, matrix.getAsArray());
    checkGl();
}

} // namespace

Torus::Torus(float torusRadius, float circleRadius) : torusRadius(torusRadius), circleRadius(circleRadius) { }

Torus::~Torus()
{
    glDeleteProgram(programId);
    checkGl();
    glDeleteVertexArrays(1, &vertexArrayId);
    checkGl();
}

GLint Torus::uniformLocation(const char* name) const
{
    const GLint location = glGetUniformLocation(programId, name);
    checkGl();
    return location;
}

void Torus::setupGraphics(const std::string& vertexShaderPath, const std::string& fragmentShaderPath)
{
    GLuint vertexShaderId = 0;
    GLuint fragmentShaderId = 0;
    KorvoSDK::Shader::compileFromFile(&vertexShaderId, vertexShaderPath.c_str(), GL_VERTEX_SHADER);
    KorvoSDK::Shader::compileFromFile(&fragmentShaderId, fragmentShaderPath.c_str(), GL_FRAGMENT_SHADER);

    programId = KorvoSDK::Shader::createLinkedProgram(vertexShaderId, fragmentShaderId);

    const Matrix camera = Matrix::createTranslation(0.0f, 0.0f, -cameraDistance);
    const Matrix scale = Matrix::createScaling(modelScale, modelScale, modelScale);
    const GLint scaleLocation = uniformLocation("scaleMatrix");
    const GLint cameraLocation = uniformLocation("cameraMatrix");
    glUseProgram(programId);
    checkGl();
    uploadMatrix(scaleLocation, scale);
    uploadMatrix(cameraLocation, camera);
}

void Torus::setColor(float red, float green, float blue, float alpha)
{
    const GLint location = uniformLocation("color");
    glUseProgram(programId);
    checkGl();
    if (location == -1)
        return;
    const float color[4] = {red, green, blue, alpha};
    glUniform4fv(location, 1, color);
    checkGl();
}

void Torus::setProjectionMatrix(const Matrix& matrix)
{
    const GLint location = uniformLocation("projectionMatrix");
    glUseProgram(programId);
    checkGl();
    uploadMatrix(location, matrix);
}

GLint Torus::prepareDraw(GLuint elementBufferId) const
{
    const GLint location = uniformLocation("rotationVector");
    glUseProgram(programId);
    checkGl();
    glBindVertexArray(vertexArrayId);
    checkGl();
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, elementBufferId);
    checkGl();
    return location;
}
