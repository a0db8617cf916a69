#include "PatchTorusSample.h"

#include "Diagnostics.h"
#include "ErrorChecks.h"

#include <new>

using KorvoSDK::checkGl;
using KorvoSDK::logError;

namespace PatchTorus {

const std::string assetsDirectory = "assets/";
WireframeTorus* wireframeTorus = nullptr;
InstancedSolidTorus* solidTorus = nullptr;
float rotationAngles[rotationAxes] = {0.0f, 0.0f, 0.0f};

namespace {

const float torusRadius = 1.0f;
const float solidCircleRadius = 0.4f;
// A little wider than the solid tube, so the cage stays around the surface.
const float wireframeCircleRadius = 0.45f;

// The angle is passed to a perspective that takes radians: 45 radians, a focal factor of
// 1.79 rather than a 45-degree view. Kept as the program has always shown the torus.
const float fieldOfView = 45.0f;
const float aspectRatio = 4.0f / 3.0f;
const float zNear = 0.1f;
const float zFar = 100.0f;

} // namespace

bool setUpSample()
{
    wireframeTorus = new (std::nothrow) WireframeTorus(torusRadius, wireframeCircleRadius);
    if (wireframeTorus == nullptr) {
        logError("Could not instantiate WireframeTorus class.");
        return false;
    }
    solidTorus = new (std::nothrow) InstancedSolidTorus(torusRadius, solidCircleRadius);
    if (solidTorus == nullptr) {
        logError("Could not instantiate InstancedSolidTorus class.");
        return false;
    }

    const KorvoSDK::Matrix projection = KorvoSDK::Matrix::createPerspective(fieldOfView, aspectRatio, zNear, zFar);
    wireframeTorus->setProjectionMatrix(projection);
    solidTorus->setProjectionMatrix(projection);

    glEnable(GL_DEPTH_TEST);
    checkGl();
    glDepthFunc(GL_LEQUAL);
    checkGl();
    return true;
}

void drawFrame()
{
    float rotationVector[rotationAxes];
    for (int axis = 0; axis < rotationAxes; ++axis)
        rotationVector[axis] = rotationAngles[axis];

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    wireframeTorus->draw(rotationVector);
    solidTorus->draw(rotationVector);

    advanceRotation(rotationAngles);
}

void tearDownSample()
{
    delete wireframeTorus;
    delete solidTorus;
}

} // namespace PatchTorus
