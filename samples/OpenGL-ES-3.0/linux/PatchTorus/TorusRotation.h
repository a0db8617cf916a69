#ifndef PATCH_TORUS_TORUS_ROTATION_H
#define PATCH_TORUS_TORUS_ROTATION_H

// Rotation of both tori, three angles in degrees that the shaders turn into a rotation.
constexpr int rotationAxes = 3;

// One frame's step: every angle grows by half a degree and wraps to 0 on reaching a full
// turn, so 360 itself is never drawn.
void advanceRotation(float angles[rotationAxes]);

#endif
