#include "media/pictures/BmpWriter.h"

namespace veloria::pictures {

namespace {

// Stores little-endian fields one after another.
struct ByteWriter {
    std::vector<uint8_t>& out;

    void u16(uint32_t v) {
        out.push_back(static_cast<uint8_t>(v));
        out.push_back(static_cast<uint8_t>(v >> 8));
    }
    void u32(uint32_t v) {
        u16(v & 0xffff);
        u16(v >> 16);
    }
    void zeros(size_t count) { out.insert(out.end(), count, 0); }
};

constexpr uint32_t LcsSrgb = 0x73524742; // 'sRGB'
constexpr uint32_t LcsGmImages = 4;
constexpr uint32_t PixelsPerMetre = 2835; // 72 dpi

} // namespace

std::vector<uint8_t> encodeBmp(const Image& image) {
    const size_t rowBytes = bmpRowBytes(image.width);
    const auto imageBytes = static_cast<uint32_t>(rowBytes * image.height);
    std::vector<uint8_t> file;
    file.reserve(BmpPixelOffset + imageBytes);
    ByteWriter w{file};

    file.push_back('B');
    file.push_back('M');
    w.u32(static_cast<uint32_t>(BmpPixelOffset) + imageBytes);
    w.u16(0);
    w.u16(0);
    w.u32(static_cast<uint32_t>(BmpPixelOffset));

    w.u32(static_cast<uint32_t>(BmpInfoHeaderSize));
    w.u32(static_cast<uint32_t>(image.width));
    w.u32(static_cast<uint32_t>(image.height)); // positive: rows stored bottom-up
    w.u16(1);                                   // planes
    w.u16(24);                                  // bits per pixel
    w.u32(0);                                   // BI_RGB
    w.u32(imageBytes);
    w.u32(PixelsPerMetre);
    w.u32(PixelsPerMetre);
    w.u32(0); // colours used
    w.u32(0); // colours important
    w.u32(0x00ff0000);
    w.u32(0x0000ff00);
    w.u32(0x000000ff);
    w.u32(0xff000000);
    w.u32(LcsSrgb);
    w.zeros(36); // colour-space endpoints
    w.zeros(12); // gamma red, green, blue
    w.u32(LcsGmImages);
    w.u32(0); // profile data
    w.u32(0); // profile size
    w.u32(0); // reserved

    const size_t padding = rowBytes - static_cast<size_t>(image.width) * 3;
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            Rgb8 p = image.at(x, y);
            file.push_back(p.b);
            file.push_back(p.g);
            file.push_back(p.r);
        }
        w.zeros(padding);
    }
    return file;
}

} // namespace veloria::pictures
