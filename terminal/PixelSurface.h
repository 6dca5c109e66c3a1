// The pixels of a console window's client area held in memory: what a terminal shows in place
// of the window. Setting a pixel outside it does nothing. One thread draws while another
// presents, so every pixel is read and written as a relaxed atomic: a frame may mix old and
// new pixels, never torn ones. The surface notes which pixels were set, so that the one who
// shows it can look at those alone rather than at every pixel each frame.
#pragma once

#include "terminal/ColorValue.h"

#include <atomic>
#include <bit>
#include <cstdint>
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
        : pixels(static_cast<std::size_t>(window.width()) * window.height(), 0), layout_(window),
          setBits_((pixels.size() + 63) / 64, 0) {}

    const WindowLayout& layout() const { return layout_; }
    int width() const { return layout_.width(); }
    int height() const { return layout_.height(); }

    void set(int x, int y, ColorValue colour) {
        if (static_cast<unsigned>(x) >= static_cast<unsigned>(width()) ||
            static_cast<unsigned>(y) >= static_cast<unsigned>(height()))
            return;
        std::size_t at = static_cast<std::size_t>(y) * width() + x;
        std::atomic_ref(pixels[at]).store(colour, std::memory_order_relaxed);
        // Released after the pixel: whoever takes the note sees the colour.
        std::atomic_ref(setBits_[at / 64])
            .fetch_or(std::uint64_t{1} << (at % 64), std::memory_order_release);
    }
    // The pixel at (x, y), which must lie on the surface.
    ColorValue at(int x, int y) const {
        return std::atomic_ref(pixels[static_cast<std::size_t>(y) * width() + x])
            .load(std::memory_order_relaxed);
    }

    // Calls visit(index) for each pixel set since the last call, index y * width() + x, in
    // increasing order, and forgets them. A pixel set meanwhile is visited now or next time.
    template <typename Visit> void takeSetPixels(Visit&& visit) const {
        for (std::size_t word = 0; word < setBits_.size(); ++word) {
            std::atomic_ref bits(setBits_[word]);
            if (bits.load(std::memory_order_relaxed) == 0) continue;
            for (std::uint64_t taken = bits.exchange(0, std::memory_order_acquire); taken != 0;
                 taken &= taken - 1)
                visit(word * 64 + static_cast<std::size_t>(std::countr_zero(taken)));
        }
    }

    // Row-major, y downwards; black until drawn on. Read through at() while drawing goes on;
    // written through set(), which notes the change.
    mutable std::vector<ColorValue> pixels;

private:
    WindowLayout layout_;
    mutable std::vector<std::uint64_t> setBits_; // a bit per pixel set and not yet taken
};

} // namespace veloria
