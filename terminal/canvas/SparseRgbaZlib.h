// The zlib stream of an RGBA image that is transparent but for a few opaque pixels, made
// straight from those pixels: the transparent runs between them become back-references of
// 258 bytes, two bits each in Huffman codes made for such images, so the cost follows the
// pixels given, not the image's size. A general compressor would read every byte of the
// image, a few milliseconds a frame at the show's size; deflate's fixed codes would spend 13
// bits on each such back-reference, 20 KB of a frame at the show's size.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace veloria {

struct OpaquePixel {
    std::uint32_t at; // y * width + x
    std::uint8_t red, green, blue;
};

// Appends to out the zlib stream of a pixelCount-pixel RGBA image, all zero (transparent
// black) but for the given pixels, which are opaque and in increasing order of position.
void appendSparseRgbaZlib(std::vector<std::uint8_t>& out, std::size_t pixelCount,
                          std::span<const OpaquePixel> pixels);

} // namespace veloria
