#include "TorusGeometry.h"

#include "Diagnostics.h"

#include <cmath>

using KorvoSDK::logError;

// The angle and Bezier constants are rounded to single precision step by step, so that the
// net is the same on every compiler and matches the floats the shaders receive.
namespace {

const double pi = static_cast<float>(M_PI);

float bezierCircleKappa()
{
    const float sqrt2 = static_cast<float>(std::sqrt(2.0));
    return static_cast<float>((sqrt2 - 1.0) * 4.0 / 3.0);
}

// Angle and distance from the circle's centre of the inner control points of a cubic
// Bezier quarter circle of radius 1.
struct InnerControlPoint {
    float angle;
    float distance;
};

InnerControlPoint innerControlPoint()
{
    const double kappa = bezierCircleKappa();
    const float squaredDistance = static_cast<float>(1.0 + kappa * kappa);
    return {static_cast<float>(std::atan(kappa)), static_cast<float>(std::sqrt(static_cast<double>(squaredDistance)))};
}

struct PolarPosition {
    float radius;
    float cosine;
    float sine;
};

PolarPosition polarPosition(float radius, float angle)
{
    const double exactAngle = angle;
    return {radius, static_cast<float>(std::cos(exactAngle)), static_cast<float>(std::sin(exactAngle))};
}

// Position `index` along one direction of the control net: quarter circles of `radius`
// whose inner control points lie at `controlRadius`. `endAngle` is the running angle at the
// end of the current quarter; the caller keeps it between calls.
PolarPosition controlNetPosition(unsigned index, float radius, float controlRadius, const InnerControlPoint& control,
                                 float& endAngle)
{
    switch (index % 3) {
    case 0:
        return polarPosition(radius, endAngle);
    case 1:
        return polarPosition(controlRadius, static_cast<float>(static_cast<double>(endAngle) + control.angle));
    default:
        endAngle = static_cast<float>((index + 1) * pi / 6.0);
        return polarPosition(controlRadius, static_cast<float>(static_cast<double>(endAngle) - control.angle));
    }
}

TorusPoint torusPoint(const PolarPosition& ring, const PolarPosition& tube)
{
    const double distanceFromAxis = ring.radius + static_cast<double>(tube.radius) * tube.cosine;
    return {static_cast<float>(distanceFromAxis * ring.cosine),
            static_cast<float>(static_cast<double>(tube.radius) * tube.sine),
            static_cast<float>(distanceFromAxis * ring.sine), 1.0f};
}

// Angle of step `index` of `count` around a full turn.
float fullTurnFraction(unsigned index, unsigned count)
{
    return static_cast<float>(2.0 * pi * index / static_cast<float>(count));
}

} // namespace

void calculateControlPoints(float torusRadius, float circleRadius, TorusPoint* points)
{
    if (points == nullptr) {
        logError("Cannot use null pointer while calculating torus vertices.");
        return;
    }
    const InnerControlPoint control = innerControlPoint();
    const float ringDistance = static_cast<float>(static_cast<double>(control.distance) * torusRadius);
    const float tubeDistance = static_cast<float>(static_cast<double>(control.distance) * circleRadius);
    float ringEndAngle = 0.0f;
    // Not restarted per ring: later rings begin their tube at the carried 2 pi, which is the
    // same point up to rounding.
    float tubeEndAngle = 0.0f;
    for (unsigned i = 0; i < controlNetSide; ++i) {
        const PolarPosition ring = controlNetPosition(i, torusRadius, ringDistance, control, ringEndAngle);
        for (unsigned k = 0; k < controlNetSide; ++k) {
            const PolarPosition tube = controlNetPosition(k, circleRadius, tubeDistance, control, tubeEndAngle);
            points[controlNetSide * i + k] = torusPoint(ring, tube);
        }
    }
}

void calculateControlPointsIndices(unsigned patchSide, unsigned patchCount, std::uint32_t* indices)
{
    if (indices == nullptr) {
        logError("Cannot use null pointer while calculating control points indices.");
        return;
    }
    const unsigned step = patchSide - 1;
    const unsigned patchesAround = controlNetSide / step;
    std::uint32_t* entry = indices;
    for (unsigned patch = 0; patch < patchCount; ++patch) {
        const unsigned tubeQuarter = patch / patchesAround;
        const unsigned ringQuarter = patch % patchesAround;
        for (unsigned a = 0; a < patchSide; ++a) {
            const unsigned ringPosition = (step * ringQuarter + a) % controlNetSide;
            for (unsigned b = 0; b < patchSide; ++b) {
                const unsigned tubePosition = (step * tubeQuarter + b) % controlNetSide;
                *entry++ = controlNetSide * ringPosition + tubePosition;
            }
        }
    }
}

unsigned calculatePatchData(unsigned density, PatchUV* uv, std::uint32_t* triangles)
{
    if (uv == nullptr || triangles == nullptr) {
        logError("Cannot use null pointers while calculating patch data.");
        return 0;
    }
    const float last = static_cast<float>(density - 1);
    for (unsigned j = 0; j < density; ++j)
        for (unsigned k = 0; k < density; ++k)
            uv[density * j + k] = {static_cast<float>(j) / last, static_cast<float>(k) / last};

    unsigned written = 0;
    for (unsigned s = 0; s + 1 < density; ++s) {
        for (unsigned t = 0; t + 1 < density; ++t) {
            const std::uint32_t base = density * s + t;
            const std::uint32_t cell[6] = {base,           base + 1, base + density,
                                           base + density, base + 1, base + density + 1};
            for (std::uint32_t index : cell)
                triangles[written++] = index;
        }
    }
    return written;
}

void calculateTorusVertices(float torusRadius, float circleRadius, unsigned circlesCount, unsigned pointsPerCircle,
                            TorusPoint* points)
{
    if (points == nullptr) {
        logError("Cannot use null pointer while calculating torus vertices.");
        return;
    }
    for (unsigned j = 0; j < circlesCount; ++j) {
        const PolarPosition ring = polarPosition(torusRadius, fullTurnFraction(j, circlesCount));
        for (unsigned k = 0; k < pointsPerCircle; ++k) {
            const PolarPosition tube = polarPosition(circleRadius, fullTurnFraction(k, pointsPerCircle));
            points[pointsPerCircle * j + k] = torusPoint(ring, tube);
        }
    }
}

void calculateWireframeIndices(unsigned circlesCount, unsigned pointsPerCircle, std::uint32_t* indices)
{
    std::uint32_t* entry = indices;
    for (unsigned j = 0; j < circlesCount; ++j) {
        for (unsigned k = 0; k < pointsPerCircle; ++k) {
            const std::uint32_t point = pointsPerCircle * j + k;
            *entry++ = point;
            *entry++ = pointsPerCircle * ((j + 1) % circlesCount) + k;
            *entry++ = point;
            *entry++ = pointsPerCircle * j + (k + 1) % pointsPerCircle;
        }
    }
}
