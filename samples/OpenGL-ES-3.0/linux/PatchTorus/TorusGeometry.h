#ifndef PATCH_TORUS_TORUS_GEOMETRY_H
#define PATCH_TORUS_TORUS_GEOMETRY_H

#include <cstdint>

// The torus geometry of PatchTorus, free of GL: the Bezier control net and its patch index
// table for the solid torus, the (u, v) grid that every patch instance is drawn with, and the
// points and line list of the wireframe. Everything is filled into arrays the caller owns.
//
// The torus lies around the y axis: the ring angle runs from +x towards +z, the tube angle
// from the outward direction towards +y.

struct TorusPoint {
    float x;
    float y;
    float z;
    float w;
};
static_assert(sizeof(TorusPoint) == 16, "points are uploaded as four tightly packed floats");

struct PatchUV {
    float u;
    float v;
};
static_assert(sizeof(PatchUV) == 8, "grid positions are uploaded as two tightly packed floats");

// Side of the control net: four cubic Bezier quarter circles in each direction share their
// end points, 4 x 3 = 12 positions.
constexpr unsigned controlNetSide = 12;
constexpr unsigned controlPointCount = controlNetSide * controlNetSide;

// The 12 x 12 control net, point 12 * ring position + tube position.
void calculateControlPoints(float torusRadius, float circleRadius, TorusPoint* points);

// patchCount patches of patchSide x patchSide indices into the control net, row by row;
// patch 4 * tubeQuarter + ringQuarter. Defined for patchSide 4 and patchCount 16.
void calculateControlPointsIndices(unsigned patchSide, unsigned patchCount, std::uint32_t* indices);

// A density x density grid of (u, v) over [0, 1]^2 and its triangle list, two triangles
// per cell. Returns the number of indices written, 6 * (density - 1)^2.
unsigned calculatePatchData(unsigned density, PatchUV* uv, std::uint32_t* triangles);

// Points of the exact torus: circlesCount tube circles around the ring, pointsPerCircle
// points on each, point pointsPerCircle * circle + point.
void calculateTorusVertices(float torusRadius, float circleRadius, unsigned circlesCount, unsigned pointsPerCircle,
                            TorusPoint* points);

// Line list over the torus points: per point, a segment to the same point of the next
// circle and one to the next point of its own circle (4 indices per point).
void calculateWireframeIndices(unsigned circlesCount, unsigned pointsPerCircle, std::uint32_t* indices);

#endif
