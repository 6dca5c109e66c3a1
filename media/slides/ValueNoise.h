// Deterministic pseudo-random values for texturing the slides: an integer hash of lattice
// points and smooth value noise built on it. Same numbers on every platform and compiler.
// Not the pictures' noise: its lattice hash, cubic fade and plain doubling per octave differ,
// and the slides were drawn with this one, so sharing the pictures' would redraw them.
#pragma once

#include "media/common/IntegerHash.h"

#include <cstdint>

namespace veloria::slides {

// A well-mixed 32-bit hash of a lattice point and a seed.
constexpr uint32_t latticeHash(int32_t x, int32_t y, uint32_t seed) {
    return drawing::hash32(seed * 0x9E3779B9u ^ static_cast<uint32_t>(x) * 0x85EBCA6Bu ^
                           static_cast<uint32_t>(y) * 0xC2B2AE35u);
}

// The hash of a lattice point as a number in [0, 1).
constexpr double latticeUnit(int32_t x, int32_t y, uint32_t seed) {
    return drawing::unitFromHash(latticeHash(x, y, seed));
}

// Smoothly interpolated lattice values; in [0, 1), with features about one unit across.
double valueNoise(double x, double y, uint32_t seed);

// Sum of octaves of value noise, each twice as fine and half as strong; in [0, 1).
double fractalNoise(double x, double y, int octaves, uint32_t seed);

} // namespace veloria::slides
