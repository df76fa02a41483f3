#include "engine/render/RenderMath.h"

#include <cmath>

Matrix Matrix::translation(float x, float y, float z)
{
    Matrix r;
    r.m[12] = x;
    r.m[13] = y;
    r.m[14] = z;
    return r;
}

Matrix Matrix::scaling(float x, float y, float z)
{
    Matrix r;
    r.m[0] = x;
    r.m[5] = y;
    r.m[10] = z;
    return r;
}

Matrix Matrix::rotationYawPitchRoll(float yaw, float pitch, float roll)
{
    const float cy = std::cos(yaw), sy = std::sin(yaw);
    const float cp = std::cos(pitch), sp = std::sin(pitch);
    const float cr = std::cos(roll), sr = std::sin(roll);
    Matrix r;
    r.m[0] = cr * cy + sr * sp * sy;
    r.m[1] = sr * cp;
    r.m[2] = sr * sp * cy - cr * sy;
    r.m[4] = cr * sp * sy - sr * cy;
    r.m[5] = cr * cp;
    r.m[6] = sr * sy + cr * sp * cy;
    r.m[8] = cp * sy;
    r.m[9] = -sp;
    r.m[10] = cp * cy;
    return r;
}

Matrix Matrix::lookAtLH(const V3& eye, const V3& at, const V3& up)
{
    const V3 z = (at - eye).normalized();
    const V3 x = up.cross(z).normalized();
    const V3 y = z.cross(x);
    Matrix r;
    r.m[0] = x.x;
    r.m[1] = y.x;
    r.m[2] = z.x;
    r.m[4] = x.y;
    r.m[5] = y.y;
    r.m[6] = z.y;
    r.m[8] = x.z;
    r.m[9] = y.z;
    r.m[10] = z.z;
    r.m[12] = -x.dot(eye);
    r.m[13] = -y.dot(eye);
    r.m[14] = -z.dot(eye);
    return r;
}

Matrix Matrix::perspectiveLH(float w, float h, float zn, float zf)
{
    Matrix r;
    r.m[0] = 2.0f * zn / w;
    r.m[5] = 2.0f * zn / h;
    r.m[10] = zf / (zf - zn);
    r.m[11] = 1.0f;
    r.m[14] = zn * zf / (zn - zf);
    r.m[15] = 0.0f;
    return r;
}

bool Matrix::isIdentity() const
{
    static const Matrix identity;
    for (int i = 0; i < 16; ++i) {
        if (m[i] != identity.m[i]) {
            return false;
        }
    }
    return true;
}

Matrix Matrix::operator*(const Matrix& o) const
{
    Matrix r;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            r.m[i * 4 + j] =
                m[i * 4] * o.m[j] + m[i * 4 + 1] * o.m[4 + j] + m[i * 4 + 2] * o.m[8 + j] + m[i * 4 + 3] * o.m[12 + j];
        }
    }
    return r;
}

bool Matrix::inverse(Matrix& out) const
{
    // Scale and translation only (most sprites): the inverse is direct.
    if (m[1] == 0.0f && m[2] == 0.0f && m[3] == 0.0f && m[4] == 0.0f && m[6] == 0.0f && m[7] == 0.0f &&
        m[8] == 0.0f && m[9] == 0.0f && m[11] == 0.0f && m[15] == 1.0f && m[0] != 0.0f && m[5] != 0.0f &&
        m[10] != 0.0f) {
        out = Matrix();
        out.m[0] = 1.0f / m[0];
        out.m[5] = 1.0f / m[5];
        out.m[10] = 1.0f / m[10];
        out.m[12] = -m[12] * out.m[0];
        out.m[13] = -m[13] * out.m[5];
        out.m[14] = -m[14] * out.m[10];
        return true;
    }
    // Cofactor expansion.
    const float* a = m;
    float inv[16];
    inv[0] = a[5] * a[10] * a[15] - a[5] * a[11] * a[14] - a[9] * a[6] * a[15] + a[9] * a[7] * a[14] + a[13] * a[6] * a[11] - a[13] * a[7] * a[10];
    inv[4] = -a[4] * a[10] * a[15] + a[4] * a[11] * a[14] + a[8] * a[6] * a[15] - a[8] * a[7] * a[14] - a[12] * a[6] * a[11] + a[12] * a[7] * a[10];
    inv[8] = a[4] * a[9] * a[15] - a[4] * a[11] * a[13] - a[8] * a[5] * a[15] + a[8] * a[7] * a[13] + a[12] * a[5] * a[11] - a[12] * a[7] * a[9];
    inv[12] = -a[4] * a[9] * a[14] + a[4] * a[10] * a[13] + a[8] * a[5] * a[14] - a[8] * a[6] * a[13] - a[12] * a[5] * a[10] + a[12] * a[6] * a[9];
    inv[1] = -a[1] * a[10] * a[15] + a[1] * a[11] * a[14] + a[9] * a[2] * a[15] - a[9] * a[3] * a[14] - a[13] * a[2] * a[11] + a[13] * a[3] * a[10];
    inv[5] = a[0] * a[10] * a[15] - a[0] * a[11] * a[14] - a[8] * a[2] * a[15] + a[8] * a[3] * a[14] + a[12] * a[2] * a[11] - a[12] * a[3] * a[10];
    inv[9] = -a[0] * a[9] * a[15] + a[0] * a[11] * a[13] + a[8] * a[1] * a[15] - a[8] * a[3] * a[13] - a[12] * a[1] * a[11] + a[12] * a[3] * a[9];
    inv[13] = a[0] * a[9] * a[14] - a[0] * a[10] * a[13] - a[8] * a[1] * a[14] + a[8] * a[2] * a[13] + a[12] * a[1] * a[10] - a[12] * a[2] * a[9];
    inv[2] = a[1] * a[6] * a[15] - a[1] * a[7] * a[14] - a[5] * a[2] * a[15] + a[5] * a[3] * a[14] + a[13] * a[2] * a[7] - a[13] * a[3] * a[6];
    inv[6] = -a[0] * a[6] * a[15] + a[0] * a[7] * a[14] + a[4] * a[2] * a[15] - a[4] * a[3] * a[14] - a[12] * a[2] * a[7] + a[12] * a[3] * a[6];
    inv[10] = a[0] * a[5] * a[15] - a[0] * a[7] * a[13] - a[4] * a[1] * a[15] + a[4] * a[3] * a[13] + a[12] * a[1] * a[7] - a[12] * a[3] * a[5];
    inv[14] = -a[0] * a[5] * a[14] + a[0] * a[6] * a[13] + a[4] * a[1] * a[14] - a[4] * a[2] * a[13] - a[12] * a[1] * a[6] + a[12] * a[2] * a[5];
    inv[3] = -a[1] * a[6] * a[11] + a[1] * a[7] * a[10] + a[5] * a[2] * a[11] - a[5] * a[3] * a[10] - a[9] * a[2] * a[7] + a[9] * a[3] * a[6];
    inv[7] = a[0] * a[6] * a[11] - a[0] * a[7] * a[10] - a[4] * a[2] * a[11] + a[4] * a[3] * a[10] + a[8] * a[2] * a[7] - a[8] * a[3] * a[6];
    inv[11] = -a[0] * a[5] * a[11] + a[0] * a[7] * a[9] + a[4] * a[1] * a[11] - a[4] * a[3] * a[9] - a[8] * a[1] * a[7] + a[8] * a[3] * a[5];
    inv[15] = a[0] * a[5] * a[10] - a[0] * a[6] * a[9] - a[4] * a[1] * a[10] + a[4] * a[2] * a[9] + a[8] * a[1] * a[6] - a[8] * a[2] * a[5];
    const float det = a[0] * inv[0] + a[1] * inv[4] + a[2] * inv[8] + a[3] * inv[12];
    if (det == 0.0f || !std::isfinite(det)) {
        out = Matrix();
        return false;
    }
    for (int i = 0; i < 16; ++i) {
        out.m[i] = inv[i] / det;
    }
    return true;
}

V3 Matrix::transformCoord(const V3& p) const
{
    const float x = p.x * m[0] + p.y * m[4] + p.z * m[8] + m[12];
    const float y = p.x * m[1] + p.y * m[5] + p.z * m[9] + m[13];
    const float z = p.x * m[2] + p.y * m[6] + p.z * m[10] + m[14];
    const float w = p.x * m[3] + p.y * m[7] + p.z * m[11] + m[15];
    if (w != 0.0f && w != 1.0f) {
        return {x / w, y / w, z / w};
    }
    return {x, y, z};
}
