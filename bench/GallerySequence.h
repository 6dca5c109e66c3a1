// A stretch of the gallery recorded from the show itself, as the terminal sees it at 30
// frames per second: the pixel calls of the gallery's first noise burst and the reveal of its
// first picture, made by the show's own effects on the show's own picture, cut into frames of
// a thirtieth of a second of calls each. Replaying it frame by frame gives the surfaces a
// canvas is asked to show.
#pragma once

#include "pixels/GalleryGeometry.h"
#include "pixels/LoadPicture.h"
#include "pixels/PixelEffects.h"
#include "pixels/WindowSurface.h"
#include "terminal/PixelSurface.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace veloria::bench {

inline constexpr int CallsPerFrame = static_cast<int>(PixelCallsPerSecond / 30);
// The gallery's first movement: a burst, then QIR.
inline constexpr int NoiseDots = 500000;
inline constexpr const char* PictureName = "QIR";
inline constexpr int PictureHeight = 790;
inline constexpr int PictureWidth = 1000;
inline constexpr int RevealSamples = 5000000;

struct PixelCall {
    std::uint16_t x;
    std::uint16_t y;
    ColorValue colour;
};

// A console window that keeps the pixel calls made on it.
class RecordingWindow final : public WindowSurface {
public:
    WindowHandle GetConsoleWindow() override { return this; }
    DeviceContext GetDC(WindowHandle) override { return this; }
    ModuleHandle GetWindowModule(WindowHandle) override { return programModule(); }
    void SetPixel(DeviceContext, int x, int y, ColorValue colour) override {
        calls.push_back({static_cast<std::uint16_t>(x), static_cast<std::uint16_t>(y), colour});
    }
    std::vector<PixelCall> calls;
};

class GallerySequence {
public:
    // Made first thing in a process, it draws the show's very random numbers.
    GallerySequence() {
        RecordingWindow window;
        window.calls.reserve(NoiseDots + RevealSamples);
        WindowHandle handle = window.GetConsoleWindow();
        DeviceContext dc = window.GetDC(handle);
        noiseBurst(window, dc, NoiseDots);
        PixelGrid grid = loadPicture(window, PictureName, PictureHeight, PictureWidth, handle);
        revealPicture(window, grid, dc, PictureHeight, PictureWidth, RevealSamples);
        calls_ = std::move(window.calls);
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
