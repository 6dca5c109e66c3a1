// Feeds arbitrary bytes to the bitmap reader as a packed DIB: it must either reject them with
// PictureError or read every pixel it claims to have without leaving the buffer.
#include "pixels/Bitmap.h"

#include <cstdint>

namespace veloria {
// The reader is fuzzed on its own; no picture is looked up by name here.
std::optional<std::span<const std::byte>> findResource(ModuleHandle, ResourceType,
                                                       std::string_view) {
    return std::nullopt;
}
} // namespace veloria

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    veloria::Bitmap bitmap;
    try {
        bitmap.loadPackedDib(std::as_bytes(std::span(data, size)), "FUZZ");
    } catch (const veloria::PictureError&) {
        return 0;
    }
    volatile veloria::ColorValue sink = 0;
    for (int y = -1; y <= bitmap.height(); ++y)
        for (int x = -1; x <= bitmap.width(); ++x) sink = sink ^ bitmap.Pixels(x, y);
    return 0;
}
