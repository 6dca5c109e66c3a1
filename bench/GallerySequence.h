// A recorded stretch of the gallery, as the terminal sees it at 30 frames per second: the
// pixel calls of one noise burst and one picture's reveal, cut into frames of a thirtieth of a
// second of calls each. Replaying it frame by frame gives the surfaces a canvas is asked to show.
#pragma once

#include "pixels/GalleryGeometry.h"
#include "terminal/PixelSurface.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace veloria::bench {

inline constexpr int CallsPerFrame = static_cast<int>(PixelCallsPerSecond / 30);
inline constexpr Rect Area = GalleryWindow.drawingArea;
inline constexpr int NoiseDots = 500000;
inline constexpr int PictureHeight = 790;
inline constexpr int PictureWidth = 1000;
inline constexpr int RevealSamples = 5000000;

struct PixelCall {
    std::uint16_t x;
    std::uint16_t y;
    ColorValue colour;
};

// A picture-like grid: smooth colour fields with hard edges and a little texture.
inline ColorValue pictureColour(int x, int y) {
    double fx = x / double(PictureWidth), fy = y / double(PictureHeight);
    double ring = std::sin(std::hypot(fx - 0.6, fy - 0.4) * 40);
    unsigned r = static_cast<unsigned>(120 + 100 * fy + 30 * ring);
    unsigned g = static_cast<unsigned>(60 + 120 * fx * fy);
    unsigned b = static_cast<unsigned>(200 - 150 * fy);
    if ((x / 125 + y / 100) % 5 == 0) r = g = b = 230; // flat panels
    if (fy > 0.8) b = static_cast<unsigned>(40 + 20 * std::sin(x * 0.3));
    return rgb(r & 255, g & 255, b & 255);
}

class GallerySequence {
public:
    GallerySequence() {
        calls_.reserve(NoiseDots + RevealSamples);
        for (int i = 0; i < NoiseDots; ++i) {
            int y = Area.y + static_cast<int>(next() % Area.height);
            int x = Area.x + static_cast<int>(next() % Area.width);
            calls_.push_back({static_cast<std::uint16_t>(x), static_cast<std::uint16_t>(y),
                              rgb(next() % 255, next() % 255, next() % 255)});
        }
        int left = Area.x + (Area.width - PictureWidth) / 2;
        int top = Area.y + (Area.height - PictureHeight) / 2;
        for (int i = 0; i < RevealSamples; ++i) {
            int row = static_cast<int>(next() % PictureHeight);
            int column = static_cast<int>(next() % PictureWidth);
            calls_.push_back({static_cast<std::uint16_t>(left + column),
                              static_cast<std::uint16_t>(top + row), pictureColour(column, row)});
        }
    }

    std::size_t frames() const { return (calls_.size() + CallsPerFrame - 1) / CallsPerFrame; }

    // Applies frame k's calls to the surface.
    void play(std::size_t frame, PixelSurface& surface) const {
        std::size_t end = std::min(calls_.size(), (frame + 1) * CallsPerFrame);
        for (std::size_t i = frame * CallsPerFrame; i < end; ++i)
            surface.set(calls_[i].x, calls_[i].y, calls_[i].colour);
    }

    // The surface after the first `count` frames, from black.
    PixelSurface surfaceAfter(std::size_t count) const {
        PixelSurface surface{GalleryWindow};
        for (std::size_t k = 0; k < count; ++k) play(k, surface);
        return surface;
    }

private:
    std::uint32_t next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return static_cast<std::uint32_t>(state_ >> 16);
    }

    std::uint64_t state_ = 0x9E3779B97F4A7C15ull;
    std::vector<PixelCall> calls_;
};

// Whole frames that stand for the gallery, each named by what is on screen and given as the
// number of frames played before it: the burst just done, the picture an eighth of the way
// and half of the way through its reveal (noise and picture mixed), and the finished picture.
struct SampleFrame {
    const char* name;
    std::size_t framesPlayed;
};

inline std::vector<SampleFrame> sampleFrames(const GallerySequence& sequence) {
    const std::size_t noise = NoiseDots / CallsPerFrame + 1;
    const std::size_t reveal = sequence.frames() - noise;
    return {{"noise", noise},
            {"early_reveal", noise + reveal / 8},
            {"half_reveal", noise + reveal / 2},
            {"picture", sequence.frames()}};
}

} // namespace veloria::bench
