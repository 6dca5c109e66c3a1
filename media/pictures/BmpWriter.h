// Encodes an image as a Windows bitmap file for the build to embed: a 14-byte
// BITMAPFILEHEADER, a 124-byte BITMAPV5HEADER tagged sRGB, then 24-bit pixels, bottom row
// first, each row padded with zero bytes to a multiple of four.
#pragma once

#include "media/pictures/Image.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace veloria::pictures {

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
