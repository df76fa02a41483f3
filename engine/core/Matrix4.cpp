#include "engine/core/Matrix4.h"

#include <cmath>

Matrix4 Matrix4::scaling(float sx, float sy, float sz)
{
    Matrix4 r;
    r.m[0][0] = sx;
    r.m[1][1] = sy;
    r.m[2][2] = sz;
    return r;
}

Matrix4 Matrix4::translation(float x, float y, float z)
{
    Matrix4 r;
    r.m[3][0] = x;
    r.m[3][1] = y;
    r.m[3][2] = z;
    return r;
}

Matrix4 Matrix4::rotationYawPitchRoll(float yaw, float pitch, float roll)
{
    const float cy = std::cos(yaw), sy = std::sin(yaw);
    const float cp = std::cos(pitch), sp = std::sin(pitch);
    const float cr = std::cos(roll), sr = std::sin(roll);
    Matrix4 r;
    // Rz(roll) * Rx(pitch) * Ry(yaw), multiplied out.
    r.m[0][0] = cr * cy + sr * sp * sy;
    r.m[0][1] = sr * cp;
    r.m[0][2] = -cr * sy + sr * sp * cy;
    r.m[1][0] = -sr * cy + cr * sp * sy;
    r.m[1][1] = cr * cp;
    r.m[1][2] = sr * sy + cr * sp * cy;
    r.m[2][0] = cp * sy;
    r.m[2][1] = -sp;
    r.m[2][2] = cp * cy;
    return r;
}

Matrix4 Matrix4::lookAtLH(const V3& eye, const V3& at, const V3& up)
{
    const V3 zaxis = (at - eye).normalized();
    const V3 xaxis = up.cross(zaxis).normalized();
    const V3 yaxis = zaxis.cross(xaxis);
    Matrix4 r;
    r.m[0][0] = xaxis.x; r.m[0][1] = yaxis.x; r.m[0][2] = zaxis.x;
    r.m[1][0] = xaxis.y; r.m[1][1] = yaxis.y; r.m[1][2] = zaxis.y;
    r.m[2][0] = xaxis.z; r.m[2][1] = yaxis.z; r.m[2][2] = zaxis.z;
    r.m[3][0] = -xaxis.dot(eye);
    r.m[3][1] = -yaxis.dot(eye);
    r.m[3][2] = -zaxis.dot(eye);
    return r;
}

Matrix4 Matrix4::perspectiveLH(float w, float h, float zn, float zf)
{
    Matrix4 r;
    r.m[0][0] = 2.0f * zn / w;
    r.m[1][1] = 2.0f * zn / h;
    r.m[2][2] = zf / (zf - zn);
    r.m[2][3] = 1.0f;
    r.m[3][2] = zn * zf / (zn - zf);
    r.m[3][3] = 0.0f;
    return r;
}

Matrix4 Matrix4::operator*(const Matrix4& o) const
{
    Matrix4 r;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            r.m[i][j] = m[i][0] * o.m[0][j] + m[i][1] * o.m[1][j] + m[i][2] * o.m[2][j] + m[i][3] * o.m[3][j];
        }
    }
    return r;
}

bool Matrix4::inverse(Matrix4& out, float* determinant) const
{
    // Cofactor expansion through the 2x2 minors of the upper and lower halves.
    const float* a = &m[0][0];
    const float s0 = a[0] * a[5] - a[4] * a[1];
    const float s1 = a[0] * a[6] - a[4] * a[2];
    const float s2 = a[0] * a[7] - a[4] * a[3];
    const float s3 = a[1] * a[6] - a[5] * a[2];
    const float s4 = a[1] * a[7] - a[5] * a[3];
    const float s5 = a[2] * a[7] - a[6] * a[3];
    const float c5 = a[10] * a[15] - a[14] * a[11];
    const float c4 = a[9] * a[15] - a[13] * a[11];
    const float c3 = a[9] * a[14] - a[13] * a[10];
    const float c2 = a[8] * a[15] - a[12] * a[11];
    const float c1 = a[8] * a[14] - a[12] * a[10];
    const float c0 = a[8] * a[13] - a[12] * a[9];
    const float det = s0 * c5 - s1 * c4 + s2 * c3 + s3 * c2 - s4 * c1 + s5 * c0;
    if (determinant != nullptr) {
        *determinant = det;
    }
    if (det == 0.0f || !std::isfinite(det)) {
        return false;
    }
    const float k = 1.0f / det;
    Matrix4 r;
    float* b = &r.m[0][0];
    b[0] = (a[5] * c5 - a[6] * c4 + a[7] * c3) * k;
    b[1] = (-a[1] * c5 + a[2] * c4 - a[3] * c3) * k;
    b[2] = (a[13] * s5 - a[14] * s4 + a[15] * s3) * k;
    b[3] = (-a[9] * s5 + a[10] * s4 - a[11] * s3) * k;
    b[4] = (-a[4] * c5 + a[6] * c2 - a[7] * c1) * k;
    b[5] = (a[0] * c5 - a[2] * c2 + a[3] * c1) * k;
    b[6] = (-a[12] * s5 + a[14] * s2 - a[15] * s1) * k;
    b[7] = (a[8] * s5 - a[10] * s2 + a[11] * s1) * k;
    b[8] = (a[4] * c4 - a[5] * c2 + a[7] * c0) * k;
    b[9] = (-a[0] * c4 + a[1] * c2 - a[3] * c0) * k;
    b[10] = (a[12] * s4 - a[13] * s2 + a[15] * s0) * k;
    b[11] = (-a[8] * s4 + a[9] * s2 - a[11] * s0) * k;
    b[12] = (-a[4] * c3 + a[5] * c1 - a[6] * c0) * k;
    b[13] = (a[0] * c3 - a[1] * c1 + a[2] * c0) * k;
    b[14] = (-a[12] * s3 + a[13] * s1 - a[14] * s0) * k;
    b[15] = (a[8] * s3 - a[9] * s1 + a[10] * s0) * k;
    out = r;
    return true;
}

V3 Matrix4::transformCoord(const V3& p) const
{
    const float x = p.x * m[0][0] + p.y * m[1][0] + p.z * m[2][0] + m[3][0];
    const float y = p.x * m[0][1] + p.y * m[1][1] + p.z * m[2][1] + m[3][1];
    const float z = p.x * m[0][2] + p.y * m[1][2] + p.z * m[2][2] + m[3][2];
    const float w = p.x * m[0][3] + p.y * m[1][3] + p.z * m[2][3] + m[3][3];
    if (w == 0.0f) {
        return {x, y, z};
    }
    const float k = 1.0f / w;
    return {x * k, y * k, z * k};
}

V3 Matrix4::transformNormal(const V3& v) const
{
    return {v.x * m[0][0] + v.y * m[1][0] + v.z * m[2][0], v.x * m[0][1] + v.y * m[1][1] + v.z * m[2][1],
            v.x * m[0][2] + v.y * m[1][2] + v.z * m[2][2]};
}
