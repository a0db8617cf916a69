// Matrices and torus geometry bit for bit against values worked out from the formulas and
// their rounding rules by tests/data/precision_reference.py (checked in with its output).

#include "PrecisionReference.h"
#include "Matrix.h"
#include "TorusGeometry.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

using KorvoSDK::Matrix;

namespace {

std::uint32_t bitsOf(float value)
{
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

void expectBits(const std::string& name, const float* values, size_t count)
{
    const std::vector<std::uint32_t>& expected = precisionReference(name);
    ASSERT_EQ(expected.size(), count) << name << " in the reference data";
    int different = 0;
    for (size_t i = 0; i < count; ++i)
        if (bitsOf(values[i]) != expected[i] && ++different <= 5)
            ADD_FAILURE() << name << " element " << i << ": " << values[i] << " (0x" << std::hex << bitsOf(values[i])
                          << "), the reference has 0x" << expected[i];
    EXPECT_EQ(different, 0) << name;
}

void expectMatrix(const std::string& name, Matrix matrix) { expectBits(name, matrix.getAsArray(), 16); }

// Sixteen values whose products and sums do not round exactly; the script makes the same.
Matrix thirds(int seed)
{
    Matrix m = {};
    for (int i = 0; i < 16; ++i)
        m.elements[i] = static_cast<float>((seed + i) / 3.0 + 1.0 / (7 + i));
    return m;
}

} // namespace

TEST(PrecisionReference, ProjectionsRoundEachStepToSinglePrecision)
{
    expectMatrix("perspective-45-4:3", Matrix::createPerspective(45.0f, 4.0f / 3.0f, 0.1f, 100.0f));
    expectMatrix("perspective-1.2-1.6", Matrix::createPerspective(1.2f, 1.6f, 0.5f, 37.0f));
    expectMatrix("orthographic-text", Matrix::createOrthographic(0, 800, 0, 800, -1, 1));
    expectMatrix("orthographic-odd", Matrix::createOrthographic(-3.3f, 7.1f, -1.7f, 2.9f, 0.3f, 11.0f));
}

TEST(PrecisionReference, ProductsRoundAfterEachProductAndEachAddition)
{
    expectMatrix("product-thirds", thirds(1) * thirds(5));
    expectMatrix("product-ortho-scale",
                 Matrix::createOrthographic(-800, 800, -1200, 1200, -1, 1) * Matrix::createScaling(800, 600, 1));
}

TEST(PrecisionReference, TorusControlNetAndWireframePoints)
{
    TorusPoint points[144];
    calculateControlPoints(1.0f, 0.4f, points);
    expectBits("control-points", &points[0].x, 4 * 144);
    calculateTorusVertices(1.0f, 0.45f, 12, 12, points);
    expectBits("torus-vertices", &points[0].x, 4 * 144);
}
