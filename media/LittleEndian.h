// Little-endian integers read from media bytes, as the WAVE and bitmap formats store them.
// The caller makes sure the bytes are there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace veloria {

inline std::uint32_t readLittle32(std::span<const std::byte> bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | std::to_integer<std::uint32_t>(bytes[at + i]);
    return v;
}

inline std::uint16_t readLittle16(std::span<const std::byte> bytes, std::size_t at) {
    return static_cast<std::uint16_t>(std::to_integer<unsigned>(bytes[at]) |
                                      std::to_integer<unsigned>(bytes[at + 1]) << 8);
}

} // namespace veloria
