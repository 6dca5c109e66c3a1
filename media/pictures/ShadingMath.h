// Colour and texture for painting pictures: sRGB colours, colour ramps, hashed value noise
// and the colour of a wavelength, on the vectors and blends of the generators' shared kit.
// Every function gives the same bits on every platform: transcendentals come from dmath.
#pragma once

#include "media/common/DeterministicMath.h"
#include "media/common/IntegerHash.h"
#include "media/common/VectorMath.h"

#include <cstdint>
#include <span>

namespace veloria::pictures {

using drawing::clamp01;
using drawing::mix;
using drawing::smoothstep;
using drawing::Vec2;
using drawing::Vec3;

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

// A uniform number in [0, 1) for an integer lattice point and a seed.
constexpr double hash01(int32_t x, int32_t y, uint32_t seed) {
    using drawing::hash32;
    return drawing::unitFromHash(
        hash32(static_cast<uint32_t>(x) ^ hash32(static_cast<uint32_t>(y) ^ hash32(seed))));
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
