// The pixels of a window's client area held in memory: what a terminal shows in place of the
// console window. Setting a pixel outside it does nothing. One thread draws while another
// presents, so every pixel is read and written as a relaxed atomic: a frame may mix old and
// new pixels, never torn ones.
#pragma once

#include "pixels/ColorValue.h"

#include <atomic>
#include <vector>

namespace veloria {

struct PixelSurface {
    // The gallery's console, 115 x 51 cells of 10 x 20 pixels, holds the whole drawing area.
    static constexpr int Width = 1150;
    static constexpr int Height = 1020;

    void set(int x, int y, ColorValue colour) {
        if (static_cast<unsigned>(x) < Width && static_cast<unsigned>(y) < Height)
            std::atomic_ref(pixels[static_cast<std::size_t>(y) * Width + x])
                .store(colour, std::memory_order_relaxed);
    }
    // The pixel at (x, y), which must lie on the surface.
    ColorValue at(int x, int y) const {
        return std::atomic_ref(pixels[static_cast<std::size_t>(y) * Width + x])
            .load(std::memory_order_relaxed);
    }

    // Row-major, y downwards; black until drawn on. Read through at() while drawing goes on.
    mutable std::vector<ColorValue> pixels = std::vector<ColorValue>(Width * Height, 0);
};

} // namespace veloria
