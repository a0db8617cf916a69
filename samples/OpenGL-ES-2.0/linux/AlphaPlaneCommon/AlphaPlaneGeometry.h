#ifndef ALPHA_PLANE_GEOMETRY_H
#define ALPHA_PLANE_GEOMETRY_H

#include <GLES2/gl2.h>

// Nine quads along the top edge of the window, each half the width and height of the one
// before, from 256 x 128 pixels down to 1 x 1 in a 640 x 480 window, so that each samples a
// smaller mipmap level. Vertices per quad: (left, top), (left, bottom), (right, top),
// (right, bottom) in clip coordinates; texture coordinates (0, 0) to (1, 1) in the same
// order, so the first stored row of the image lands at the top. One triangle strip joins
// the quads through degenerate triangles.
constexpr int planeQuadCount = 9;
constexpr int planeVertexCount = 4 * planeQuadCount;
constexpr int planeIndexCount = 52;

extern const GLfloat planeVertices[3 * planeVertexCount];
extern const GLfloat planeTexCoords[2 * planeVertexCount];
extern const GLubyte planeIndices[planeIndexCount];

#endif
