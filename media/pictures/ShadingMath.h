// Small value types and pure functions for painting pictures: 2- and 3-vectors (points,
// directions, linear RGB colours), blends, hashed value noise and the colour of a wavelength.
// Every function gives the same bits on every platform: transcendentals come from dmath.
#pragma once

#include "media/common/DeterministicMath.h"

#include <cmath>
#include <cstdint>
#include <span>

namespace veloria::pictures {

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
constexpr Vec3 operator*(double s, Vec3 a) {
    return a * s;
}
constexpr Vec3 operator*(Vec3 a, Vec3 b) {
    return {a.x * b.x, a.y * b.y, a.z * b.z};
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

constexpr double clamp01(double x) {
    return x < 0.0 ? 0.0 : (x > 1.0 ? 1.0 : x);
}
constexpr double mix(double a, double b, double t) {
    return a + (b - a) * t;
}
constexpr Vec3 mix(Vec3 a, Vec3 b, double t) {
    return a + (b - a) * t;
}
// 0 below edge0, 1 above edge1, a smooth S between (edge0 > edge1 gives the falling S).
constexpr double smoothstep(double edge0, double edge1, double x) {
    double t = clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3.0 - 2.0 * t);
}
// The colour of a hex literal like 0xff8800, as linear light (sRGB decoded).
inline Vec3 srgb(uint32_t hex) {
    struct Decoded {
        double level[256];
        Decoded() {
            for (int c = 0; c < 256; ++c) {
                double v = c / 255.0;
                level[c] = v <= 0.04045 ? v / 12.92 : dmath::pow((v + 0.055) / 1.055, 2.4);
            }
        }
    };
    static const Decoded decoded;
    return {decoded.level[hex >> 16 & 0xff], decoded.level[hex >> 8 & 0xff],
            decoded.level[hex & 0xff]};
}

// A colour ramp: stops in increasing order of `at`, linear blends between them, the end
// colours held beyond the ends.
struct ColourStop {
    double at;
    Vec3 colour;
};
inline Vec3 gradient(std::span<const ColourStop> stops, double t) {
    if (t <= stops.front().at) return stops.front().colour;
    for (size_t i = 1; i < stops.size(); ++i) {
        if (t < stops[i].at) {
            const ColourStop &a = stops[i - 1], &b = stops[i];
            return mix(a.colour, b.colour, (t - a.at) / (b.at - a.at));
        }
    }
    return stops.back().colour;
}

// Integer hash with good avalanche (the "lowbias32" mixer).
constexpr uint32_t hash32(uint32_t x) {
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}
// A uniform number in [0, 1) for an integer lattice point and a seed.
constexpr double hash01(int32_t x, int32_t y, uint32_t seed) {
    uint32_t h = hash32(static_cast<uint32_t>(x) ^ hash32(static_cast<uint32_t>(y) ^ hash32(seed)));
    return (h >> 8) * (1.0 / 16777216.0);
}

// Smooth value noise in [0, 1] with unit lattice spacing.
inline double valueNoise(Vec2 p, uint32_t seed) {
    double fx = dmath::floorOf(p.x), fy = dmath::floorOf(p.y);
    auto ix = static_cast<int32_t>(fx), iy = static_cast<int32_t>(fy);
    double tx = p.x - fx, ty = p.y - fy;
    tx = tx * tx * tx * (tx * (tx * 6.0 - 15.0) + 10.0);
    ty = ty * ty * ty * (ty * (ty * 6.0 - 15.0) + 10.0);
    double a = hash01(ix, iy, seed), b = hash01(ix + 1, iy, seed);
    double c = hash01(ix, iy + 1, seed), d = hash01(ix + 1, iy + 1, seed);
    return mix(mix(a, b, tx), mix(c, d, tx), ty);
}

// Fractal sum of value noise: each octave twice the frequency and `gain` times the weight.
// Normalised to [0, 1].
inline double fbm(Vec2 p, int octaves, double gain, uint32_t seed) {
    double sum = 0.0, weight = 1.0, total = 0.0;
    for (int i = 0; i < octaves; ++i) {
        sum += weight * valueNoise(p, seed + static_cast<uint32_t>(i));
        total += weight;
        weight *= gain;
        p = Vec2{p.x * 2.03 + p.y * 0.31, p.y * 2.03 - p.x * 0.31};
    }
    return sum / total;
}

// Linear sRGB of monochromatic light of the given wavelength (nm), from an analytic fit of
// the CIE 1931 colour matching functions; out-of-gamut parts are clipped to zero.
inline Vec3 spectralColour(double nm) {
    auto lobe = [nm](double mu, double below, double above) {
        double t = (nm - mu) / (nm < mu ? below : above);
        return dmath::exp(-0.5 * t * t);
    };
    double x = 1.056 * lobe(599.8, 37.9, 31.0) + 0.362 * lobe(442.0, 16.0, 26.7) -
               0.065 * lobe(501.1, 20.4, 26.2);
    double y = 0.821 * lobe(568.8, 46.9, 40.5) + 0.286 * lobe(530.9, 16.3, 31.1);
    double z = 1.217 * lobe(437.0, 11.8, 36.0) + 0.681 * lobe(459.0, 26.0, 13.8);
    auto positive = [](double v) { return v > 0.0 ? v : 0.0; };
    return {positive(3.2406 * x - 1.5372 * y - 0.4986 * z),
            positive(-0.9689 * x + 1.8758 * y + 0.0415 * z),
            positive(0.0557 * x - 0.2040 * y + 1.0570 * z)};
}

} // namespace veloria::pictures
