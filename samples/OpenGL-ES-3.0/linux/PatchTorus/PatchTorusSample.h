#ifndef PATCH_TORUS_PATCH_TORUS_SAMPLE_H
#define PATCH_TORUS_PATCH_TORUS_SAMPLE_H

#include "InstancedSolidTorus.h"
#include "TorusRotation.h"
#include "WireframeTorus.h"

#include <string>

// The sample's state and the hooks that the shell calls, in their own namespace so that
// another sample's hooks can be linked beside them (the GL tests link several).
namespace PatchTorus {

extern const std::string assetsDirectory;
extern WireframeTorus* wireframeTorus;
extern InstancedSolidTorus* solidTorus;
// Degrees, the same angle on all three axes; one full turn every 720 frames.
extern float rotationAngles[rotationAxes];

bool setUpSample();
void drawFrame();
void tearDownSample();

} // namespace PatchTorus

#endif
