// An 8-bit RGB image and its encoding as a Windows bitmap file: a 14-byte BITMAPFILEHEADER,
// a 124-byte BITMAPV5HEADER tagged sRGB, then 24-bit pixels, bottom row first, each row
// padded with zero bytes to a multiple of four.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace veloria::pictures {

struct Rgb8 {
    uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(Rgb8, Rgb8) = default;
};

// Pixels in reading order: the top row first, each row left to right.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<Rgb8> pixels;

    Image(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w) * h) {}
    Rgb8& at(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
    Rgb8 at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

inline constexpr size_t BmpFileHeaderSize = 14;
inline constexpr size_t BmpInfoHeaderSize = 124;
inline constexpr size_t BmpPixelOffset = BmpFileHeaderSize + BmpInfoHeaderSize;

// Bytes in one stored row: three per pixel, rounded up to a multiple of four.
constexpr size_t bmpRowBytes(int width) {
    return (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
}

// The whole file, headers included.
std::vector<uint8_t> encodeBmp(const Image& image);

} // namespace veloria::pictures
