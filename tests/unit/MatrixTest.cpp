#include "Matrix.h"

#include <gtest/gtest.h>

#include <cmath>

using KorvoSDK::Matrix;

namespace {

void expectElements(const Matrix& actual, const Matrix& expected)
{
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(actual.elements[i], expected.elements[i]) << "element " << i;
}

// The identity with the given elements replaced.
Matrix identityExcept(std::initializer_list<std::pair<int, float>> changes)
{
    Matrix m = Matrix::identity;
    for (const auto& change : changes)
        m.elements[change.first] = change.second;
    return m;
}

} // namespace

TEST(MatrixTest, IdentityIsColumnMajorAndGetAsArrayIsTheMatrixItself)
{
    Matrix m = Matrix::identity;
    EXPECT_EQ(static_cast<void*>(m.getAsArray()), static_cast<void*>(&m));
    EXPECT_EQ(sizeof(Matrix), 16 * sizeof(float));
    for (int column = 0; column < 4; ++column)
        for (int row = 0; row < 4; ++row)
            EXPECT_EQ(Matrix::identity.elements[4 * column + row], row == column ? 1.0f : 0.0f);
}

TEST(MatrixTest, ScalingAndTranslationTouchOnlyTheirElements)
{
    expectElements(Matrix::createScaling(1, 1, 1), Matrix::identity);
    expectElements(Matrix::createTranslation(0, 0, 0), Matrix::identity);
    expectElements(Matrix::createTranslation(0, 0, -2.5f), identityExcept({{14, -2.5f}}));
    expectElements(Matrix::createTranslation(1, 2, 3), identityExcept({{12, 1.0f}, {13, 2.0f}, {14, 3.0f}}));

    const Matrix scaling = Matrix::createScaling(0.7f, 0.7f, 0.7f);
    expectElements(scaling, identityExcept({{0, 0.7f}, {5, 0.7f}, {10, 0.7f}}));
    EXPECT_NEAR(scaling.elements[0], 0.69999999, 1e-8);
}

TEST(MatrixTest, PerspectiveTakesTheAngleInRadians)
{
    const Matrix p = Matrix::createPerspective(45.0f, 1.3333334f, 0.1f, 100.0f);
    Matrix expected = {};
    expected.elements[0] = 1.3444432f;
    expected.elements[5] = 1.7925910f;
    expected.elements[10] = -1.0020020f;
    expected.elements[11] = -1.0f;
    expected.elements[14] = -0.2002002f;
    expected.elements[15] = 0.0f;
    expectElements(p, expected);
}

TEST(MatrixTest, OrthographicMapsTheBoxOntoClipSpace)
{
    expectElements(
        Matrix::createOrthographic(0, 800, 0, 600, 0, 1),
        identityExcept({{0, 0.0025f}, {5, 0.0033333334f}, {10, -2.0f}, {12, -1.0f}, {13, -1.0f}, {14, -1.0f}}));
    expectElements(Matrix::createOrthographic(-1, 1, -1, 1, -1, 1), identityExcept({{10, -1.0f}}));
}

TEST(MatrixTest, DegenerateBoundsGiveInfinitiesNotTraps)
{
    const Matrix o = Matrix::createOrthographic(1, 1, 0, 1, 0, 1);
    EXPECT_EQ(o.elements[0], INFINITY);
    EXPECT_EQ(o.elements[12], -INFINITY);
    EXPECT_EQ(o.elements[5], 2.0f);
}

TEST(MatrixTest, ProductAppliesTheRightOperandFirst)
{
    const Matrix o = Matrix::createOrthographic(-800, 800, -800, 800, -1, 1);
    const Matrix s = Matrix::createScaling(600, 600, 1);
    const Matrix m = Matrix::createTranslation(3, -4, 5) * s;

    expectElements(Matrix::identity * m, m);
    expectElements(m * Matrix::identity, m);

    const Matrix os = o * s;
    EXPECT_EQ(os.elements[0], o.elements[0] * s.elements[0]);
    EXPECT_EQ(os.elements[0], 0.75f);
    EXPECT_EQ(os.elements[12], o.elements[12]);

    // Translation after scaling: the translation column is not scaled.
    const Matrix ts = Matrix::createTranslation(10, 20, 30) * Matrix::createScaling(2, 3, 4);
    expectElements(ts, identityExcept({{0, 2.0f}, {5, 3.0f}, {10, 4.0f}, {12, 10.0f}, {13, 20.0f}, {14, 30.0f}}));
    // Scaling after translation scales the translation too.
    const Matrix st = Matrix::createScaling(2, 3, 4) * Matrix::createTranslation(10, 20, 30);
    expectElements(st, identityExcept({{0, 2.0f}, {5, 3.0f}, {10, 4.0f}, {12, 20.0f}, {13, 60.0f}, {14, 120.0f}}));
}

TEST(MatrixTest, MultiplyWritesAndReturnsResultLeavingOperandsUnchanged)
{
    Matrix left = {};
    Matrix right = {};
    for (int i = 0; i < 16; ++i) {
        left.elements[i] = static_cast<float>(i + 1);
        right.elements[i] = static_cast<float>(16 - i);
    }
    const Matrix leftCopy = left;
    const Matrix rightCopy = right;
    Matrix result = {};
    EXPECT_EQ(Matrix::multiply(result.elements, left.elements, right.elements), result.elements);

    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            double expected = 0;
            for (int k = 0; k < 4; ++k)
                expected += double(left.elements[4 * k + row]) * right.elements[4 * column + k];
            EXPECT_EQ(result.elements[4 * column + row], static_cast<float>(expected));
        }
    }
    expectElements(left, leftCopy);
    expectElements(right, rightCopy);
    expectElements(left * right, result);
}
