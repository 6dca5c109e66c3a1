// Builds binary fixtures for the readers' tests: little-endian integers as bytes, and a
// string's bytes as the span the readers take.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace veloria::testing {

inline std::string le32(std::uint32_t v) {
    return {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
}
inline std::string le16(std::uint16_t v) {
    return {char(v), char(v >> 8)};
}

inline std::span<const std::byte> bytes(const std::string& s) {
    return std::as_bytes(std::span(s.data(), s.size()));
}

} // namespace veloria::testing
