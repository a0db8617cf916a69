#ifndef PATCH_TORUS_TORUS_H
#define PATCH_TORUS_TORUS_H

#include "Matrix.h"

#include <GLES3/gl3.h>

#include <string>

namespace PatchTorus {

// Prefix of the models' shader file paths; main points it at the assets folder.
extern std::string resourceDirectory;

} // namespace PatchTorus

// A torus model with its own program and vertex array: both models share the camera,
// scale and projection and are drawn with the frame's rotation angles (degrees).
class Torus {
public:
    virtual bool initializeVertexAttribs() = 0;
    virtual ~Torus();
    virtual void draw(const float* rotationVector) = 0;

    void setupGraphics(const std::string& vertexShaderPath, const std::string& fragmentShaderPath);
    void setColor(float red, float green, float blue, float alpha);
    void setProjectionMatrix(const KorvoSDK::Matrix& matrix);

protected:
    Torus(float torusRadius, float circleRadius);

    GLint uniformLocation(const char* name) const;
    // Program, vertex array and element buffer of a draw; returns the location of
    // "rotationVector".
    GLint prepareDraw(GLuint elementBufferId) const;

    float torusRadius;
    float circleRadius;
    GLuint programId = 0;
    GLuint vertexArrayId = 0;
    // False when the program lacks the vertex attribute: the model then has no vertex
    // data to draw from and draws nothing.
    bool hasVertexData = false;
};

#endif
