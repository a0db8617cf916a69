#ifndef PATCH_TORUS_INSTANCED_SOLID_TORUS_H
#define PATCH_TORUS_INSTANCED_SOLID_TORUS_H

#include "Torus.h"

// The lit surface: 16 bicubic Bezier patches whose control net and index table live in two
// uniform buffers; one (u, v) grid is drawn once per patch in a single instanced call and
// the vertex shader places it on the patch of its instance.
class InstancedSolidTorus : public Torus {
public:
    InstancedSolidTorus(float torusRadius, float circleRadius);
    ~InstancedSolidTorus() override;

    bool initializeVertexAttribs() override;
    void draw(const float* rotationVector) override;

    bool initializeControlPointsBuffers();
    void setLightParameters();

private:
    // A uniform buffer with `data` behind the program's block `blockName`, at
    // `bindingPoint`; nothing when the program has no such block. Returns whether it had.
    bool createBlockBuffer(const char* blockName, GLuint* bufferId, GLsizeiptr size, const void* data,
                           GLuint bindingPoint);

    // Deleted as one run of four names; a name still 0 is skipped.
    GLuint controlPointsIndicesBufferId = 0;
    GLuint controlPointsVerticesBufferId = 0;
    GLuint patchIndicesBufferId = 0;
    GLuint patchUVBufferId = 0;
};

#endif
