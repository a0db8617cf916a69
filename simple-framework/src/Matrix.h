#ifndef KORVO_MATRIX_H
#define KORVO_MATRIX_H

namespace KorvoSDK {

// A 4 x 4 single-precision matrix, column-major as OpenGL ES expects: row r, column c is
// elements[4 * c + r]. Upload with glUniformMatrix4fv(location, 1, GL_FALSE, getAsArray()).
// The create operations compute in double and round each element once when storing it.
class Matrix {
public:
    float elements[16];

    static const Matrix identity;

    float* getAsArray() { return elements; }
    const float* getAsArray() const { return elements; }

    static Matrix createScaling(float x, float y, float z);
    static Matrix createTranslation(float x, float y, float z);
    // fieldOfView is the full vertical angle in radians.
    static Matrix createPerspective(float fieldOfView, float aspect, float zNear, float zFar);
    static Matrix createOrthographic(float left, float right, float bottom, float top, float zNear, float zFar);

    // result = left x right. result is written while the operands are read, so it must not
    // share storage with either of them.
    static float* multiply(float* result, const float* left, const float* right);

    Matrix operator*(Matrix right) const;
};

} // namespace KorvoSDK

#endif
