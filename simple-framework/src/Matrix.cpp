#include "Matrix.h"

#include <cmath>

namespace KorvoSDK {

// clang-format off
const Matrix Matrix::identity = {{
    1.0f, 0.0f, 0.0f, 0.0f,
    0.0f, 1.0f, 0.0f, 0.0f,
    0.0f, 0.0f, 1.0f, 0.0f,
    0.0f, 0.0f, 0.0f, 1.0f,
}};
// clang-format on

Matrix Matrix::createScaling(float x, float y, float z)
{
    Matrix result = identity;
    result.elements[0] = x;
    result.elements[5] = y;
    result.elements[10] = z;
    return result;
}

Matrix Matrix::createTranslation(float x, float y, float z)
{
    Matrix result = identity;
    result.elements[12] = x;
    result.elements[13] = y;
    result.elements[14] = z;
    return result;
}

Matrix Matrix::createPerspective(float fieldOfView, float aspect, float zNear, float zFar)
{
    const double nearPlane = zNear;
    const double farPlane = zFar;
    const float half = static_cast<float>(fieldOfView * 0.5);
    const float tangent = static_cast<float>(std::tan(static_cast<double>(half)));
    const float f = static_cast<float>(1.0 / tangent);

    Matrix result = identity;
    result.elements[0] = static_cast<float>(f / static_cast<double>(aspect));
    result.elements[5] = f;
    result.elements[10] = static_cast<float>(-(farPlane + nearPlane) / (farPlane - nearPlane));
    result.elements[11] = -1.0f;
    result.elements[14] = static_cast<float>((farPlane * -2.0) * nearPlane / (farPlane - nearPlane));
    result.elements[15] = 0.0f;
    return result;
}

Matrix Matrix::createOrthographic(float left, float right, float bottom, float top, float zNear, float zFar)
{
    const double l = left, r = right, b = bottom, t = top, n = zNear, f = zFar;
    Matrix result = identity;
    result.elements[0] = static_cast<float>(2.0 / (r - l));
    result.elements[12] = static_cast<float>(-(r + l) / (r - l));
    result.elements[5] = static_cast<float>(2.0 / (t - b));
    result.elements[13] = static_cast<float>(-(t + b) / (t - b));
    result.elements[10] = static_cast<float>(-2.0 / (f - n));
    result.elements[14] = static_cast<float>(-(f + n) / (f - n));
    return result;
}

float* Matrix::multiply(float* result, const float* left, const float* right)
{
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            // Products of two floats are exact in double; the sum is rounded after each step.
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k)
                sum = static_cast<float>(sum + static_cast<double>(left[4 * k + i]) * right[4 * j + k]);
            result[4 * j + i] = sum;
        }
    }
    return result;
}

Matrix Matrix::operator*(Matrix right) const
{
    Matrix product;
    multiply(product.elements, elements, right.elements);
    return product;
}

} // namespace KorvoSDK
