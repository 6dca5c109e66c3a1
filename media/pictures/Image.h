// An 8-bit RGB image in memory: what the painter fills and the BMP writer stores.
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

} // namespace veloria::pictures
