#include "tests/fakes/PngFile.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>

namespace veloria::testing {
namespace {

std::uint32_t crc32(const std::string& bytes) {
    static const auto table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t c = 0xFFFFFFFFu;
    for (unsigned char b : bytes) c = table[(c ^ b) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

std::string be32(std::uint32_t v) {
    return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
}

std::string chunk(const std::string& type, const std::string& data) {
    return be32(static_cast<std::uint32_t>(data.size())) + type + data + be32(crc32(type + data));
}

// A zlib stream of stored (uncompressed) deflate blocks.
std::string storedZlib(const std::string& raw) {
    std::string out = "\x78\x01";
    std::uint32_t a = 1, b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    for (std::size_t at = 0; at < raw.size() || at == 0; at += 65535) {
        std::size_t n = std::min<std::size_t>(65535, raw.size() - at);
        bool last = at + n >= raw.size();
        out += char(last ? 1 : 0);
        out += {char(n), char(n >> 8), char(~n), char(~n >> 8)};
        out.append(raw, at, n);
        if (last) break;
    }
    return out + be32(b << 16 | a);
}

} // namespace

bool writePng(const std::string& path, int width, int height,
              const std::function<ColorValue(int x, int y)>& pixelAt) {
    std::string raw;
    raw.reserve(static_cast<std::size_t>(height) * (1 + 3 * static_cast<std::size_t>(width)));
    for (int y = 0; y < height; ++y) {
        raw += '\0'; // no filter
        for (int x = 0; x < width; ++x) {
            ColorValue c = pixelAt(x, y);
            raw += {char(redOf(c)), char(greenOf(c)), char(blueOf(c))};
        }
    }
    std::string header = be32(static_cast<std::uint32_t>(width)) +
                         be32(static_cast<std::uint32_t>(height)) +
                         std::string("\x08\x02\x00\x00\x00", 5);
    std::ofstream out(path, std::ios::binary);
    out << "\x89PNG\r\n\x1a\n" + chunk("IHDR", header) + chunk("IDAT", storedZlib(raw)) +
               chunk("IEND", "");
    return static_cast<bool>(out);
}

} // namespace veloria::testing
