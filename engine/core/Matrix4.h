#pragma once
// 4x4 row-major float matrix with the Direct3D conventions: row vectors (a point is transformed as
// v * M, so A * B applies A first), left-handed coordinates.
#include "engine/core/V3.h"

struct Matrix4 {
    float m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};

    static Matrix4 identity() { return Matrix4(); }
    // The sixteen floats row by row, as the graphics device takes them.
    const float* data() const { return &m[0][0]; }
    V3 getTranslation() const { return {m[3][0], m[3][1], m[3][2]}; }
    static Matrix4 scaling(float sx, float sy, float sz);
    static Matrix4 translation(float x, float y, float z);
    // Roll about z, then pitch about x, then yaw about y.
    static Matrix4 rotationYawPitchRoll(float yaw, float pitch, float roll);
    static Matrix4 lookAtLH(const V3& eye, const V3& at, const V3& up);
    // View volume w by h at the near plane; depth maps zn..zf to 0..1.
    static Matrix4 perspectiveLH(float w, float h, float zn, float zf);

    Matrix4 operator*(const Matrix4& o) const;
    bool operator==(const Matrix4&) const = default;
    // The inverse; false (and `out` untouched) when the matrix is singular.
    bool inverse(Matrix4& out, float* determinant = nullptr) const;
    // (p, 1) * M divided by its w.
    V3 transformCoord(const V3& p) const;
    // (v, 0) * M: directions, no translation.
    V3 transformNormal(const V3& v) const;
};
