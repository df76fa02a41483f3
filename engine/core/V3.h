#pragma once
// Three-float vector. The game's y axis points up.
#include <cmath>

struct V3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    constexpr V3() = default;
    constexpr V3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}

    constexpr V3 operator+(const V3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    constexpr V3 operator-(const V3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    constexpr V3 operator-() const { return {-x, -y, -z}; }
    constexpr V3 operator*(float s) const { return {x * s, y * s, z * s}; }
    constexpr V3& operator+=(const V3& o) { x += o.x; y += o.y; z += o.z; return *this; }
    constexpr V3& operator-=(const V3& o) { x -= o.x; y -= o.y; z -= o.z; return *this; }
    constexpr V3& operator*=(float s) { x *= s; y *= s; z *= s; return *this; }
    constexpr bool operator==(const V3& o) const = default;

    constexpr float dot(const V3& o) const { return x * o.x + y * o.y + z * o.z; }
    constexpr V3 cross(const V3& o) const { return {y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x}; }
    constexpr float lengthSquared() const { return dot(*this); }
    float length() const { return std::sqrt(lengthSquared()); }
    // Unit vector in the same direction; the zero vector stays zero.
    V3 normalized() const;

    // True when the squared distance to `other` is strictly less than radius squared.
    bool isWithinDistance(const V3& other, float radius) const;

    // Becomes the point between `from` and `to` at t (clamped to [0, 1]) along easing curve `type`
    // (0 to 17); a type outside 0 to 17 leaves the vector untouched.
    void ease(int type, const V3& from, const V3& to, float t);
    // The easing curve `type` at t (clamped to [0, 1]): 0 at t = 0 and 1 at t = 1 for every curve but 0,
    // which stays at 0. Types: 0 none, 1 linear, 2 to 4 quadratic in, out, in-out, 5 sine in, 6 sine
    // in-out, 7 sine out, 8 to 10 cubic, 11 to 13 quartic, 14 to 16 exponential (in, out, in-out each),
    // 17 smoothstep. Other types give t.
    static float easeFactor(int type, float t);
    static constexpr int EASE_TYPES = 18;
    // The point at t of the cubic Bezier curve with control points p0, p0 + t0, p1 - t1, p1.
    static V3 bezier(const V3& p0, const V3& t0, const V3& p1, const V3& t1, float t);
};

inline constexpr V3 operator*(float s, const V3& v) { return v * s; }
