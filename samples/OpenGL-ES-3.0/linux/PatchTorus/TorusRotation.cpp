#include "TorusRotation.h"

namespace {

const float degreesPerFrame = 0.5f;
const float fullTurn = 360.0f;

} // namespace

void advanceRotation(float angles[rotationAxes])
{
    for (int axis = 0; axis < rotationAxes; ++axis) {
        angles[axis] += degreesPerFrame;
        if (angles[axis] >= fullTurn)
            angles[axis] = 0.0f;
    }
}
