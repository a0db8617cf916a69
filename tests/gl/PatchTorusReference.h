#ifndef TEST_PATCH_TORUS_REFERENCE_H
#define TEST_PATCH_TORUS_REFERENCE_H

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// What the PatchTorus shaders compute, done again on the CPU in double precision from the
// same geometry and matrices, in window pixels of a width x height framebuffer with the
// origin at the bottom left (glReadPixels order).

// The program's shader folder in the source tree.
const std::string patchTorusShaderFolder =
    std::string(KORVO_SOURCE_ROOT) + "/samples/OpenGL-ES-3.0/linux/PatchTorus/assets/";

struct WindowPoint {
    double x;
    double y;
};
using Segment = std::pair<WindowPoint, WindowPoint>;

// Coverage of the 16 evaluated patch grids (solid torus R 1.0, r 0.4) at the rotation
// (degrees about x, then y, then z): one byte per pixel, 1 where a pixel centre is inside.
std::vector<std::uint8_t> solidTorusCoverage(const float rotationDegrees[3], int width, int height);

// The 288 projected line segments of the wireframe torus (R 1.0, r 0.45).
std::vector<Segment> wireframeSegments(const float rotationDegrees[3], int width, int height);

// Distance from a point to the closest segment.
double distanceToSegments(const WindowPoint& point, const std::vector<Segment>& segments);

#endif
