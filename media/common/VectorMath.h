// The arithmetic the picture and slide generators draw with: 2- and 3-vectors (points,
// directions, linear RGB colours) and the blends between numbers and between vectors.
// Only +, -, *, / and sqrt, or dmath where a rotation needs an angle, so every build
// computes the same bits.
#pragma once

#include "media/common/DeterministicMath.h"

#include <cmath>

namespace veloria::drawing {

constexpr double clamp01(double x) {
    return x < 0.0 ? 0.0 : (x > 1.0 ? 1.0 : x);
}
constexpr double mix(double a, double b, double t) {
    return a + (b - a) * t;
}
// 0 below edge0, 1 above edge1, a smooth S between (edge0 > edge1 gives the falling S).
constexpr double smoothstep(double edge0, double edge1, double x) {
    double t = clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3.0 - 2.0 * t);
}

struct Vec2 {
    double x = 0.0, y = 0.0;
};

constexpr Vec2 operator+(Vec2 a, Vec2 b) {
    return {a.x + b.x, a.y + b.y};
}
constexpr Vec2 operator-(Vec2 a, Vec2 b) {
    return {a.x - b.x, a.y - b.y};
}
constexpr Vec2 operator*(Vec2 a, double s) {
    return {a.x * s, a.y * s};
}
constexpr double dot(Vec2 a, Vec2 b) {
    return a.x * b.x + a.y * b.y;
}
constexpr double cross(Vec2 a, Vec2 b) {
    return a.x * b.y - a.y * b.x;
}
inline double length(Vec2 a) {
    return std::sqrt(dot(a, a));
}
inline Vec2 normalize(Vec2 a) {
    return a * (1.0 / length(a));
}
inline Vec2 rotate(Vec2 a, double angle) {
    double c = dmath::cos(angle), s = dmath::sin(angle);
    return {c * a.x - s * a.y, s * a.x + c * a.y};
}

// The distance from p to the nearest point of the segment from a to b.
inline double distanceToSegment(Vec2 p, Vec2 a, Vec2 b) {
    const Vec2 ab = b - a, ap = p - a;
    return length(ap - ab * clamp01(dot(ap, ab) / dot(ab, ab)));
}

struct Vec3 {
    double x = 0.0, y = 0.0, z = 0.0;
};

constexpr Vec3 operator+(Vec3 a, Vec3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
constexpr Vec3 operator-(Vec3 a, Vec3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
constexpr Vec3 operator-(Vec3 a) {
    return {-a.x, -a.y, -a.z};
}
constexpr Vec3 operator*(Vec3 a, double s) {
    return {a.x * s, a.y * s, a.z * s};
}
constexpr double dot(Vec3 a, Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
constexpr Vec3 cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double length(Vec3 a) {
    return std::sqrt(dot(a, a));
}
inline Vec3 normalize(Vec3 a) {
    return a * (1.0 / length(a));
}
// The mirror direction of d about the unit normal n.
constexpr Vec3 reflect(Vec3 d, Vec3 n) {
    return d - n * (2.0 * dot(d, n));
}

constexpr Vec3 mix(Vec3 a, Vec3 b, double t) {
    return a + (b - a) * t;
}

} // namespace veloria::drawing
