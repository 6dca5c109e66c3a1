// A picture decoded from a packed device-independent bitmap (an info header followed directly
// by the pixel rows, as Windows stores RT_BITMAP resources): uncompressed 24-bit rows, bottom
// up or top down. The pixels are read in place from the resource, never copied.
#pragma once

#include "media/Resources.h"
#include "terminal/ColorValue.h"

#include <cstddef>
#include <span>
#include <stdexcept>
#include <string_view>

namespace veloria {

// A picture that cannot be found or read; the message names it.
class PictureError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Bitmap {
public:
    // Finds the RT_BITMAP resource in the module and decodes it. Throws PictureError:
    // "Resource NAME not found", or why the resource is not a bitmap this program reads.
    void LoadFromResourceName(ModuleHandle module, std::string_view name);
    // Decodes a packed DIB; the name is only for the error message.
    void loadPackedDib(std::span<const std::byte> dib, std::string_view name);

    int width() const { return width_; }
    int height() const { return height_; }
    // The pixel at column x and line y counted from the top; CLR_INVALID outside the picture.
    ColorValue Pixels(int x, int y) const;

private:
    std::span<const std::byte> pixels_;
    int width_ = 0;
    int height_ = 0;
    bool bottomUp_ = true;
    std::size_t rowBytes_ = 0;
};

} // namespace veloria
