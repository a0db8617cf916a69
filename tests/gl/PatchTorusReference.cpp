#include "PatchTorusReference.h"

#include "Matrix.h"
#include "TorusGeometry.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

using KorvoSDK::Matrix;

namespace {

using Vector3 = std::array<double, 3>;

constexpr unsigned patchCount = 16;
constexpr unsigned patchSide = 4;
constexpr unsigned density = 16;
constexpr unsigned wireSide = 12;

// The matrices the program uploads.
const Matrix projection = Matrix::createPerspective(45.0f, 1.3333334f, 0.1f, 100.0f);
const Matrix camera = Matrix::createTranslation(0.0f, 0.0f, -2.5f);
const Matrix scale = Matrix::createScaling(0.7f, 0.7f, 0.7f);

// Rotation about x, then y, then z, as a row-major 3 x 3 matrix.
std::array<double, 9> rotation(const float degrees[3])
{
    const double x = degrees[0] * M_PI / 180.0;
    const double y = degrees[1] * M_PI / 180.0;
    const double z = degrees[2] * M_PI / 180.0;
    const std::array<double, 9> aboutX = {1, 0, 0, 0, std::cos(x), -std::sin(x), 0, std::sin(x), std::cos(x)};
    const std::array<double, 9> aboutY = {std::cos(y), 0, std::sin(y), 0, 1, 0, -std::sin(y), 0, std::cos(y)};
    const std::array<double, 9> aboutZ = {std::cos(z), -std::sin(z), 0, std::sin(z), std::cos(z), 0, 0, 0, 1};
    auto product = [](const std::array<double, 9>& a, const std::array<double, 9>& b) {
        std::array<double, 9> result{};
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                for (int k = 0; k < 3; ++k)
                    result[3 * r + c] += a[3 * r + k] * b[3 * k + c];
        return result;
    };
    return product(aboutZ, product(aboutY, aboutX));
}

std::array<double, 4> transform(const Matrix& matrix, const std::array<double, 4>& v)
{
    std::array<double, 4> result{};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            result[r] += static_cast<double>(matrix.elements[4 * c + r]) * v[c];
    return result;
}

class Projector {
public:
    Projector(const float rotationDegrees[3], int width, int height)
        : turn(rotation(rotationDegrees)), width(width), height(height)
    {
    }

    WindowPoint project(const Vector3& model) const
    {
        const std::array<double, 4> scaled = transform(scale, {model[0], model[1], model[2], 1.0});
        std::array<double, 4> turned = {0, 0, 0, 1};
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                turned[r] += turn[3 * r + c] * scaled[c];
        const std::array<double, 4> clip = transform(projection, transform(camera, turned));
        return {(clip[0] / clip[3] + 1.0) * 0.5 * width, (clip[1] / clip[3] + 1.0) * 0.5 * height};
    }

private:
    std::array<double, 9> turn;
    int width;
    int height;
};

std::array<double, 4> bernstein(double t)
{
    const double r = 1.0 - t;
    return {r * r * r, 3 * t * r * r, 3 * t * t * r, t * t * t};
}

// The surface point of one patch at (u, v): u along its rows, v along its columns.
Vector3 evaluatePatch(const TorusPoint* net, const std::uint32_t* patchIndices, const PatchUV& uv)
{
    const std::array<double, 4> bu = bernstein(uv.u);
    const std::array<double, 4> bv = bernstein(uv.v);
    Vector3 point = {0, 0, 0};
    for (unsigned a = 0; a < patchSide; ++a) {
        for (unsigned b = 0; b < patchSide; ++b) {
            const TorusPoint& control = net[patchIndices[patchSide * a + b]];
            const double weight = bu[a] * bv[b];
            point[0] += weight * control.x;
            point[1] += weight * control.y;
            point[2] += weight * control.z;
        }
    }
    return point;
}

double edge(const WindowPoint& a, const WindowPoint& b, double x, double y)
{
    return (b.x - a.x) * (y - a.y) - (b.y - a.y) * (x - a.x);
}

void fillTriangle(const WindowPoint& a, const WindowPoint& b, const WindowPoint& c, int width, int height,
                  std::vector<std::uint8_t>& coverage)
{
    const int left = std::max(0, static_cast<int>(std::floor(std::min({a.x, b.x, c.x}))));
    const int right = std::min(width - 1, static_cast<int>(std::ceil(std::max({a.x, b.x, c.x}))));
    const int bottom = std::max(0, static_cast<int>(std::floor(std::min({a.y, b.y, c.y}))));
    const int top = std::min(height - 1, static_cast<int>(std::ceil(std::max({a.y, b.y, c.y}))));
    for (int y = bottom; y <= top; ++y) {
        for (int x = left; x <= right; ++x) {
            const double cx = x + 0.5;
            const double cy = y + 0.5;
            const double e0 = edge(a, b, cx, cy);
            const double e1 = edge(b, c, cx, cy);
            const double e2 = edge(c, a, cx, cy);
            if ((e0 >= 0 && e1 >= 0 && e2 >= 0) || (e0 <= 0 && e1 <= 0 && e2 <= 0))
                coverage[static_cast<std::size_t>(y) * width + x] = 1;
        }
    }
}

} // namespace

std::vector<std::uint8_t> solidTorusCoverage(const float rotationDegrees[3], int width, int height)
{
    std::vector<TorusPoint> net(controlPointCount);
    std::vector<std::uint32_t> indices(patchCount * patchSide * patchSide);
    std::vector<PatchUV> grid(density * density);
    std::vector<std::uint32_t> triangles(6 * (density - 1) * (density - 1));
    calculateControlPoints(1.0f, 0.4f, net.data());
    calculateControlPointsIndices(patchSide, patchCount, indices.data());
    calculatePatchData(density, grid.data(), triangles.data());

    const Projector projector(rotationDegrees, width, height);
    std::vector<std::uint8_t> coverage(static_cast<std::size_t>(width) * height, 0);
    std::vector<WindowPoint> projected(grid.size());
    for (unsigned patch = 0; patch < patchCount; ++patch) {
        const std::uint32_t* patchIndices = indices.data() + patchSide * patchSide * patch;
        for (std::size_t vertex = 0; vertex < grid.size(); ++vertex)
            projected[vertex] = projector.project(evaluatePatch(net.data(), patchIndices, grid[vertex]));
        for (std::size_t i = 0; i < triangles.size(); i += 3)
            fillTriangle(projected[triangles[i]], projected[triangles[i + 1]], projected[triangles[i + 2]], width,
                         height, coverage);
    }
    return coverage;
}

std::vector<Segment> wireframeSegments(const float rotationDegrees[3], int width, int height)
{
    std::vector<TorusPoint> points(wireSide * wireSide);
    std::vector<std::uint32_t> lines(4 * wireSide * wireSide);
    calculateTorusVertices(1.0f, 0.45f, wireSide, wireSide, points.data());
    calculateWireframeIndices(wireSide, wireSide, lines.data());

    const Projector projector(rotationDegrees, width, height);
    std::vector<Segment> segments;
    for (std::size_t i = 0; i < lines.size(); i += 2) {
        const TorusPoint& a = points[lines[i]];
        const TorusPoint& b = points[lines[i + 1]];
        segments.emplace_back(projector.project({a.x, a.y, a.z}), projector.project({b.x, b.y, b.z}));
    }
    return segments;
}

double distanceToSegments(const WindowPoint& point, const std::vector<Segment>& segments)
{
    double closest = std::numeric_limits<double>::infinity();
    for (const Segment& segment : segments) {
        const double dx = segment.second.x - segment.first.x;
        const double dy = segment.second.y - segment.first.y;
        const double lengthSquared = dx * dx + dy * dy;
        double t = 0.0;
        if (lengthSquared > 0.0)
            t = std::clamp(((point.x - segment.first.x) * dx + (point.y - segment.first.y) * dy) / lengthSquared, 0.0,
                           1.0);
        closest = std::min(closest, std::hypot(point.x - segment.first.x - t * dx, point.y - segment.first.y - t * dy));
    }
    return closest;
}
