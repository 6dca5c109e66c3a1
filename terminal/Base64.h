// Base64 (RFC 4648, with padding), as the kitty graphics protocol carries its payloads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace veloria {

inline void appendBase64(std::string& out, const std::uint8_t* data, std::size_t size) {
    static constexpr char Alphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::size_t at = out.size();
    out.resize(at + (size + 2) / 3 * 4);
    char* to = out.data() + at;
    std::size_t i = 0;
    for (; i + 3 <= size; i += 3) {
        unsigned v = data[i] << 16 | data[i + 1] << 8 | data[i + 2];
        *to++ = Alphabet[v >> 18];
        *to++ = Alphabet[(v >> 12) & 63];
        *to++ = Alphabet[(v >> 6) & 63];
        *to++ = Alphabet[v & 63];
    }
    if (i < size) {
        unsigned v = data[i] << 16 | (i + 1 < size ? data[i + 1] << 8 : 0);
        *to++ = Alphabet[v >> 18];
        *to++ = Alphabet[(v >> 12) & 63];
        *to++ = i + 1 < size ? Alphabet[(v >> 6) & 63] : '=';
        *to++ = '=';
    }
}

inline void appendBase64(std::string& out, const std::string& text) {
    appendBase64(out, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

} // namespace veloria
