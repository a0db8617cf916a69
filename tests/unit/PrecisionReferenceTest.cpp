// Matrices and torus geometry bit for bit against values worked out from the formulas and
// their rounding rules by tests/data/precision_reference.py (checked in with its output).

#include "Matrix.h"
#include "TorusGeometry.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

using KorvoSDK::Matrix;

namespace {

using Reference = std::map<std::string, std::vector<std::uint32_t>>;

const Reference& reference()
{
    static const Reference values = [] {
        Reference read;
        std::ifstream in(std::string(KORVO_SOURCE_ROOT) + "/tests/data/precision_reference.txt");
        std::string name;
        size_t index = 0;
        std::string hex;
        while (in >> name >> index >> hex) {
            std::vector<std::uint32_t>& list = read[name];
            list.resize(index + 1);
            list[index] = static_cast<std::uint32_t>(std::stoul(hex, nullptr, 16));
        }
        return read;
    }();
    return values;
}

std::uint32_t bitsOf(float value)
{
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

void expectBits(const std::string& name, const float* values, size_t count)
{
    const auto found = reference().find(name);
    ASSERT_NE(found, reference().end()) << name << " is not in the reference data";
    ASSERT_EQ(found->second.size(), count) << name;
    int different = 0;
    for (size_t i = 0; i < count; ++i)
        if (bitsOf(values[i]) != found->second[i] && ++different <= 5)
            ADD_FAILURE() << name << " element " << i << ": " << values[i] << " (0x" << std::hex << bitsOf(values[i])
                          << "), the reference has 0x" << found->second[i];
    EXPECT_EQ(different, 0) << name;
}

void expectMatrix(const std::string& name, Matrix matrix)
{
    expectBits(name, matrix.getAsArray(), 16);
}

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
    expectMatrix("product-ortho-scale", Matrix::createOrthographic(-800, 800, -1200, 1200, -1, 1) *
                                            Matrix::createScaling(800, 600, 1));
}

TEST(PrecisionReference, TorusControlNetAndWireframePoints)
{
    TorusPoint points[144];
    calculateControlPoints(1.0f, 0.4f, points);
    expectBits("control-points", &points[0].x, 4 * 144);
    calculateTorusVertices(1.0f, 0.45f, 12, 12, points);
    expectBits("torus-vertices", &points[0].x, 4 * 144);
}
