// A colour as the Windows COLORREF lays it out: 0x00BBGGRR, red in the low byte.
#pragma once

#include <cstdint>

namespace veloria {

using ColorValue = std::uint32_t;

// What a bitmap yields for a position outside it.
inline constexpr ColorValue CLR_INVALID = 0xFFFFFFFF;

constexpr ColorValue rgb(unsigned red, unsigned green, unsigned blue) {
    return red | green << 8 | blue << 16;
}
constexpr unsigned redOf(ColorValue c) {
    return c & 0xFF;
}
constexpr unsigned greenOf(ColorValue c) {
    return (c >> 8) & 0xFF;
}
constexpr unsigned blueOf(ColorValue c) {
    return (c >> 16) & 0xFF;
}

} // namespace veloria
