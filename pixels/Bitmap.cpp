#include "pixels/Bitmap.h"

#include "media/LittleEndian.h"

#include <cstdint>
#include <string>

namespace veloria {
namespace {

// The info headers that may stand in front of the rows: BITMAPINFOHEADER, V4 and V5.
bool knownHeaderSize(std::uint32_t size) {
    return size == 40 || size == 108 || size == 124;
}

} // namespace

void Bitmap::LoadFromResourceName(ModuleHandle module, std::string_view name) {
    auto dib = findResource(module, ResourceType::Bitmap, name);
    if (!dib) throw PictureError("Resource " + std::string(name) + " not found");
    loadPackedDib(*dib, name);
}

void Bitmap::loadPackedDib(std::span<const std::byte> dib, std::string_view name) {
    auto fail = [&](const std::string& why) {
        throw PictureError("Resource " + std::string(name) + " is not a readable bitmap: " + why);
    };
    if (dib.size() < 40) fail("shorter than a bitmap header");
    std::uint32_t headerSize = readLittle32(dib, 0);
    if (!knownHeaderSize(headerSize) || headerSize > dib.size())
        fail("header of " + std::to_string(headerSize) + " bytes");
    auto width = static_cast<std::int32_t>(readLittle32(dib, 4));
    auto height = static_cast<std::int32_t>(readLittle32(dib, 8));
    if (readLittle16(dib, 14) != 24)
        fail(std::to_string(readLittle16(dib, 14)) + " bits per pixel, not 24");
    if (readLittle32(dib, 16) != 0)
        fail("compressed (compression " + std::to_string(readLittle32(dib, 16)) + ")");
    if (width <= 0 || height == 0 || height == INT32_MIN) fail("no pixels");
    std::uint64_t rows = height < 0 ? -static_cast<std::int64_t>(height) : height;
    std::uint64_t rowBytes = (static_cast<std::uint64_t>(width) * 3 + 3) / 4 * 4;
    std::uint64_t available = dib.size() - headerSize;
    if (rowBytes * rows > available)
        fail("rows truncated (" + std::to_string(available) + " of " +
             std::to_string(rowBytes * rows) + " bytes)");
    width_ = width;
    height_ = static_cast<int>(rows);
    bottomUp_ = height > 0;
    rowBytes_ = static_cast<std::size_t>(rowBytes);
    pixels_ = dib.subspan(headerSize, rowBytes_ * height_);
}

ColorValue Bitmap::Pixels(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
    std::size_t row = static_cast<std::size_t>(bottomUp_ ? height_ - 1 - y : y);
    const std::byte* p = pixels_.data() + row * rowBytes_ + 3 * static_cast<std::size_t>(x);
    return rgb(std::to_integer<unsigned>(p[2]), std::to_integer<unsigned>(p[1]),
               std::to_integer<unsigned>(p[0]));
}

} // namespace veloria
