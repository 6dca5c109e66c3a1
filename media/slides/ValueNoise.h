// Deterministic pseudo-random values for texturing the slides: an integer hash of lattice
// points and smooth value noise built on it. Same numbers on every platform and compiler.
#pragma once

#include <cstdint>

namespace veloria::slides {

// A well-mixed 32-bit hash of a lattice point and a seed.
inline uint32_t latticeHash(int32_t x, int32_t y, uint32_t seed) {
    uint32_t h = seed * 0x9E3779B9u ^ static_cast<uint32_t>(x) * 0x85EBCA6Bu ^
                 static_cast<uint32_t>(y) * 0xC2B2AE35u;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

// The hash of a lattice point as a number in [0, 1).
inline double latticeUnit(int32_t x, int32_t y, uint32_t seed) {
    return (latticeHash(x, y, seed) >> 8) * (1.0 / 16777216.0);
}

// Smoothly interpolated lattice values; in [0, 1), with features about one unit across.
double valueNoise(double x, double y, uint32_t seed);

// Sum of octaves of value noise, each twice as fine and half as strong; in [0, 1).
double fractalNoise(double x, double y, int octaves, uint32_t seed);

} // namespace veloria::slides
