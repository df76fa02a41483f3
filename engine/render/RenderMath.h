#pragma once
// The 4x4 matrices of the renderer: row-major floats used with row vectors (v' = v x M), left-handed, as
// the transforms of the scene are defined.
#include "engine/core/V3.h"

struct Matrix {
    float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

    float& at(int row, int col) { return m[row * 4 + col]; }
    float at(int row, int col) const { return m[row * 4 + col]; }
    const float* data() const { return m; }

    static Matrix identity() { return {}; }
    static Matrix translation(float x, float y, float z);
    static Matrix scaling(float x, float y, float z);
    // Roll about z, then pitch about x, then yaw about y.
    static Matrix rotationYawPitchRoll(float yaw, float pitch, float roll);
    static Matrix lookAtLH(const V3& eye, const V3& at, const V3& up);
    // A view volume of w x h at the near plane zn.
    static Matrix perspectiveLH(float w, float h, float zn, float zf);

    bool isIdentity() const;
    // this x other
    Matrix operator*(const Matrix& other) const;
    // The inverse; false (and identity) when the matrix is singular.
    bool inverse(Matrix& out) const;
    // The point through the matrix, divided by w.
    V3 transformCoord(const V3& p) const;
    V3 getTranslation() const { return {m[12], m[13], m[14]}; }
};
