// The pixels of a console window's client area held in memory: what a terminal shows in place
// of the window. Setting a pixel outside it does nothing. One thread draws while another
// presents, so every pixel is read and written as a relaxed atomic: a frame may mix old and
// new pixels, never torn ones.
#pragma once

#include "terminal/ColorValue.h"

#include <atomic>
#include <vector>

namespace veloria {

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Rect&) const = default;
};

// How a console window is laid out: its grid of character cells, the pixels of one cell, and
// the part of its client area that is drawn on, which a terminal must always show whole.
struct WindowLayout {
    int columns = 0;
    int rows = 0;
    int cellWidth = 0;
    int cellHeight = 0;
    Rect drawingArea;

    constexpr int width() const { return columns * cellWidth; }
    constexpr int height() const { return rows * cellHeight; }
};

class PixelSurface {
public:
    explicit PixelSurface(const WindowLayout& window)
        : pixels(static_cast<std::size_t>(window.width()) * window.height(), 0), layout_(window) {}

    const WindowLayout& layout() const { return layout_; }
    int width() const { return layout_.width(); }
    int height() const { return layout_.height(); }

    void set(int x, int y, ColorValue colour) {
        if (static_cast<unsigned>(x) < static_cast<unsigned>(width()) &&
            static_cast<unsigned>(y) < static_cast<unsigned>(height()))
            std::atomic_ref(pixels[static_cast<std::size_t>(y) * width() + x])
                .store(colour, std::memory_order_relaxed);
    }
    // The pixel at (x, y), which must lie on the surface.
    ColorValue at(int x, int y) const {
        return std::atomic_ref(pixels[static_cast<std::size_t>(y) * width() + x])
            .load(std::memory_order_relaxed);
    }

    // Row-major, y downwards; black until drawn on. Read through at() while drawing goes on.
    mutable std::vector<ColorValue> pixels;

private:
    WindowLayout layout_;
};

} // namespace veloria
