// Compile-time conversion of UTF-8 string literals to Windows-1251 bytes, so that texts can
// be written readably in the source and still be stored one byte per character. A character
// that Windows-1251 cannot hold is a compile error.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace veloria {

template <std::size_t N> struct Utf8Literal {
    char bytes[N]{};
    consteval Utf8Literal(const char (&text)[N]) {
        for (std::size_t i = 0; i < N; ++i) bytes[i] = text[i];
    }
};

namespace cp1251_detail {

// Decodes the code point starting at bytes[i] and advances i past it.
consteval char32_t decode(const char* bytes, std::size_t& i) {
    auto byte = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
    unsigned char lead = byte(i);
    if (lead < 0x80) return bytes[i++];
    if ((lead & 0xE0) == 0xC0) {
        char32_t cp = ((lead & 0x1F) << 6) | (byte(i + 1) & 0x3F);
        i += 2;
        return cp;
    }
    if ((lead & 0xF0) == 0xE0) {
        char32_t cp = ((lead & 0x0F) << 12) | ((byte(i + 1) & 0x3F) << 6) | (byte(i + 2) & 0x3F);
        i += 3;
        return cp;
    }
    throw "only characters of the Basic Multilingual Plane are supported";
}

consteval char encode(char32_t cp) {
    if (cp < 0x80) return static_cast<char>(cp);
    if (cp >= 0x0410 && cp <= 0x044F) return static_cast<char>(0xC0 + (cp - 0x0410)); // А..я
    if (cp == 0x0401) return static_cast<char>(0xA8);                                 // Ё
    if (cp == 0x0451) return static_cast<char>(0xB8);                                 // ё
    throw "character has no Windows-1251 byte in this converter";
}

template <std::size_t N> consteval std::size_t length(const Utf8Literal<N>& text) {
    std::size_t count = 0;
    for (std::size_t i = 0; i + 1 < N; ++count) decode(text.bytes, i);
    return count;
}

template <Utf8Literal Text> consteval auto convert() {
    std::array<char, length(Text)> out{};
    std::size_t i = 0;
    for (char& b : out) b = encode(decode(Text.bytes, i));
    return out;
}

template <Utf8Literal Text> inline constexpr auto Stored = convert<Text>();

} // namespace cp1251_detail

// The Windows-1251 bytes of a UTF-8 literal, in static storage.
template <Utf8Literal Text> constexpr std::string_view cp1251() {
    return {cp1251_detail::Stored<Text>.data(), cp1251_detail::Stored<Text>.size()};
}

} // namespace veloria
