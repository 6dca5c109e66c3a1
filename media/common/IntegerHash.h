// Integer hashing for the generators' random-looking textures: the same numbers on every
// platform and compiler, since it is all 32-bit unsigned arithmetic.
#pragma once

#include <cstdint>

namespace veloria::drawing {

// Integer hash with good avalanche (the "lowbias32" mixer).
constexpr uint32_t hash32(uint32_t x) {
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}

// A hash's top 24 bits as a number in [0, 1), exactly representable as a double.
constexpr double unitFromHash(uint32_t h) {
    return (h >> 8) * (1.0 / 16777216.0);
}

} // namespace veloria::drawing
