#ifndef PATCH_TORUS_WIREFRAME_TORUS_H
#define PATCH_TORUS_WIREFRAME_TORUS_H

#include "Torus.h"

// Straight lines between points of the exact torus, a cage around the solid one.
class WireframeTorus : public Torus {
public:
    WireframeTorus(float torusRadius, float circleRadius);
    ~WireframeTorus() override;

    bool initializeVertexAttribs() override;
    void draw(const float* rotationVector) override;

    void initializeIndices();

private:
    GLuint indicesBufferId = 0;
};

#endif
