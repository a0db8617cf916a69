#include "TorusGeometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr unsigned patchCount = 16;
constexpr unsigned patchSide = 4;
constexpr unsigned indicesPerPatch = patchSide * patchSide;
constexpr unsigned density = 16;
constexpr unsigned wireSide = 12;

std::vector<std::uint32_t> controlPointsIndices()
{
    std::vector<std::uint32_t> indices(patchCount * indicesPerPatch);
    calculateControlPointsIndices(patchSide, patchCount, indices.data());
    return indices;
}

std::vector<std::uint32_t> patchIndices(const std::vector<std::uint32_t>& table, unsigned patch)
{
    return {table.begin() + indicesPerPatch * patch, table.begin() + indicesPerPatch * (patch + 1)};
}

void expectPoint(const TorusPoint& point, float x, float y, float z)
{
    EXPECT_FLOAT_EQ(point.x, x);
    EXPECT_FLOAT_EQ(point.y, y);
    EXPECT_FLOAT_EQ(point.z, z);
    EXPECT_EQ(point.w, 1.0f);
}

// Distance of a point from the torus's centre circle (radius R in the xz plane).
double distanceFromCentreCircle(const TorusPoint& point, double torusRadius)
{
    const double fromAxis = std::hypot(point.x, point.z);
    return std::hypot(fromAxis - torusRadius, point.y);
}

} // namespace

TEST(TorusGeometry, PatchIndexTableWrapsRoundRingAndTube)
{
    const std::vector<std::uint32_t> table = controlPointsIndices();
    EXPECT_EQ(patchIndices(table, 0),
              (std::vector<std::uint32_t>{0, 1, 2, 3, 12, 13, 14, 15, 24, 25, 26, 27, 36, 37, 38, 39}));
    EXPECT_EQ(std::vector<std::uint32_t>(table.begin() + 16, table.begin() + 20),
              (std::vector<std::uint32_t>{36, 37, 38, 39}));
    EXPECT_EQ(patchIndices(table, 3),
              (std::vector<std::uint32_t>{108, 109, 110, 111, 120, 121, 122, 123, 132, 133, 134, 135, 0, 1, 2, 3}));
    EXPECT_EQ(patchIndices(table, 12),
              (std::vector<std::uint32_t>{9, 10, 11, 0, 21, 22, 23, 12, 33, 34, 35, 24, 45, 46, 47, 36}));
    EXPECT_EQ(patchIndices(table, 15),
              (std::vector<std::uint32_t>{117, 118, 119, 108, 129, 130, 131, 120, 141, 142, 143, 132, 9, 10, 11, 0}));
}

TEST(TorusGeometry, NeighbouringPatchesShareTheirBorders)
{
    const std::vector<std::uint32_t> table = controlPointsIndices();
    for (unsigned patch = 0; patch < patchCount; ++patch) {
        const std::vector<std::uint32_t> own = patchIndices(table, patch);
        const unsigned ringQuarter = patch % 4;
        const unsigned tubeQuarter = patch / 4;
        const std::vector<std::uint32_t> nextAlongRing = patchIndices(table, 4 * tubeQuarter + (ringQuarter + 1) % 4);
        const std::vector<std::uint32_t> nextAlongTube = patchIndices(table, 4 * ((tubeQuarter + 1) % 4) + ringQuarter);
        for (unsigned b = 0; b < 4; ++b)
            EXPECT_EQ(own[12 + b], nextAlongRing[b]) << "patch " << patch << " column " << b;
        for (unsigned a = 0; a < 4; ++a)
            EXPECT_EQ(own[4 * a + 3], nextAlongTube[4 * a]) << "patch " << patch << " row " << a;
    }
    // Together the patches use every control point of the net.
    EXPECT_EQ(std::set<std::uint32_t>(table.begin(), table.end()).size(), controlPointCount);
}

TEST(TorusGeometry, PatchGridAndTriangleList)
{
    std::vector<PatchUV> uv(density * density);
    std::vector<std::uint32_t> triangles(6 * (density - 1) * (density - 1));
    EXPECT_EQ(calculatePatchData(density, uv.data(), triangles.data()), 1350u);

    EXPECT_EQ(uv[0].u, 0.0f);
    EXPECT_EQ(uv[0].v, 0.0f);
    EXPECT_EQ(uv[15].u, 0.0f);
    EXPECT_EQ(uv[15].v, 1.0f);
    EXPECT_EQ(uv[16].u, 1.0f / 15.0f);
    EXPECT_FLOAT_EQ(uv[16].u, 0.06666667f);
    EXPECT_EQ(uv[16].v, 0.0f);
    EXPECT_EQ(uv[255].u, 1.0f);
    EXPECT_EQ(uv[255].v, 1.0f);

    EXPECT_EQ(std::vector<std::uint32_t>(triangles.begin(), triangles.begin() + 12),
              (std::vector<std::uint32_t>{0, 1, 16, 16, 1, 17, 1, 2, 17, 17, 2, 18}));
    EXPECT_EQ(std::vector<std::uint32_t>(triangles.end() - 6, triangles.end()),
              (std::vector<std::uint32_t>{238, 239, 254, 254, 239, 255}));
    EXPECT_LT(*std::max_element(triangles.begin(), triangles.end()), density * density);
}

TEST(TorusGeometry, WireframeLineListCoversEveryGridEdgeOnce)
{
    std::vector<std::uint32_t> lines(4 * wireSide * wireSide);
    calculateWireframeIndices(wireSide, wireSide, lines.data());

    EXPECT_EQ(std::vector<std::uint32_t>(lines.begin(), lines.begin() + 8),
              (std::vector<std::uint32_t>{0, 12, 0, 1, 1, 13, 1, 2}));
    EXPECT_EQ(std::vector<std::uint32_t>(lines.begin() + 44, lines.begin() + 48),
              (std::vector<std::uint32_t>{11, 23, 11, 0}));
    EXPECT_EQ(std::vector<std::uint32_t>(lines.end() - 4, lines.end()),
              (std::vector<std::uint32_t>{143, 11, 143, 132}));

    std::set<std::pair<std::uint32_t, std::uint32_t>> segments;
    for (std::size_t i = 0; i < lines.size(); i += 2)
        segments.insert(std::minmax(lines[i], lines[i + 1]));
    EXPECT_EQ(segments.size(), 288u);
}

TEST(TorusGeometry, TorusPointsLieOnTheExactTorus)
{
    std::vector<TorusPoint> points(wireSide * wireSide);
    calculateTorusVertices(1.0f, 0.45f, wireSide, wireSide, points.data());

    expectPoint(points[0], 1.45f, 0.0f, 0.0f);
    expectPoint(points[1], 1.3897114f, 0.225f, 0.0f);
    expectPoint(points[12], 1.2557368f, 0.0f, 0.725f);
    for (const TorusPoint& point : points)
        EXPECT_NEAR(distanceFromCentreCircle(point, 1.0), 0.45, 1e-6);
    // Circle 3 is a quarter turn round the ring: its points lie in the yz plane.
    for (unsigned k = 0; k < wireSide; ++k)
        EXPECT_NEAR(points[36 + k].x, 0.0, 1e-6);
}

TEST(TorusGeometry, ControlNetHoldsTheBezierQuarterArcs)
{
    std::vector<TorusPoint> net(controlPointCount);
    calculateControlPoints(1.0f, 0.4f, net.data());

    expectPoint(net[0], 1.4f, 0.0f, 0.0f);
    expectPoint(net[1], 1.4f, 0.2209139f, 0.0f);
    expectPoint(net[2], 1.2209139f, 0.4f, 0.0f);
    expectPoint(net[3], 1.0f, 0.4f, 0.0f);
    EXPECT_FLOAT_EQ(net[12].x, 1.3501480f);
    EXPECT_FLOAT_EQ(net[12].z, 0.7456661f);
    // Ring 1 starts its tube at the carried angle 2 pi, not at 0: y is the rounding residue.
    EXPECT_GT(net[12].y, 5e-8f);
    EXPECT_LT(net[12].y, 1e-7f);
    // Points on quarter ends of both directions lie on the torus itself.
    for (unsigned i = 0; i < controlNetSide; i += 3)
        for (unsigned k = 0; k < controlNetSide; k += 3)
            EXPECT_NEAR(distanceFromCentreCircle(net[controlNetSide * i + k], 1.0), 0.4, 1e-6)
                << "ring " << i << " tube " << k;
    for (const TorusPoint& point : net)
        EXPECT_EQ(point.w, 1.0f);
}

TEST(TorusGeometry, NullOutputsAreReportedAndNothingIsWritten)
{
    const std::uint32_t untouchedIndex = 0xDEADBEEF;
    const PatchUV untouchedUV = {-3.0f, -3.0f};

    testing::internal::CaptureStderr();
    calculateControlPoints(1.0f, 0.4f, nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Error: Cannot use null pointer while calculating torus vertices.\n");

    testing::internal::CaptureStderr();
    calculateTorusVertices(1.0f, 0.45f, wireSide, wireSide, nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Error: Cannot use null pointer while calculating torus vertices.\n");

    testing::internal::CaptureStderr();
    calculateControlPointsIndices(patchSide, patchCount, nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Error: Cannot use null pointer while calculating control points indices.\n");

    std::vector<PatchUV> uv(density * density, untouchedUV);
    std::vector<std::uint32_t> triangles(1350, untouchedIndex);
    testing::internal::CaptureStderr();
    EXPECT_EQ(calculatePatchData(density, uv.data(), nullptr), 0u);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Error: Cannot use null pointers while calculating patch data.\n");
    testing::internal::CaptureStderr();
    EXPECT_EQ(calculatePatchData(density, nullptr, triangles.data()), 0u);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Error: Cannot use null pointers while calculating patch data.\n");
    for (const PatchUV& position : uv) {
        EXPECT_EQ(position.u, untouchedUV.u);
        EXPECT_EQ(position.v, untouchedUV.v);
    }
    EXPECT_EQ(std::count(triangles.begin(), triangles.end(), untouchedIndex), 1350);
}
