// A window surface that keeps its pixels in memory and records the window calls into a
// ShowLog. Runs of SetPixel are logged as one entry with their count, so a gallery of
// millions of calls leaves a short, readable log. The pixels can be written out as a PNG.
#pragma once

#include "pixels/WindowSurface.h"
#include "tests/fakes/ShowLog.h"

#include <cstdint>
#include <string>
#include <vector>

namespace veloria::testing {

class RecordingSurface final : public WindowSurface {
public:
    static constexpr int Width = 1100, Height = 1100;
    static inline const WindowHandle Window = reinterpret_cast<WindowHandle>(0x1234);
    static inline const DeviceContext Dc = reinterpret_cast<DeviceContext>(0x5678);

    explicit RecordingSurface(ShowLog& log) : log_(log) {}

    WindowHandle GetConsoleWindow() override {
        log_.add("GetConsoleWindow");
        return Window;
    }
    DeviceContext GetDC(WindowHandle window) override {
        log_.add("GetDC", handleName(window));
        return Dc;
    }
    ModuleHandle GetWindowModule(WindowHandle window) override {
        log_.add("GetWindowModule", handleName(window));
        return module;
    }
    void SetPixel(DeviceContext dc, int x, int y, ColorValue colour) override {
        log_.addToRun("SetPixel");
        ++calls;
        if (dc != Dc) ++wrongDc;
        if (x >= 0 && y >= 0 && x < Width && y < Height)
            pixels[static_cast<std::size_t>(y) * Width + x] = colour;
        else
            ++outside;
        if (calls <= hashedCalls) {
            for (std::uint32_t v :
                 {static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y), colour})
                for (int i = 0; i < 4; ++i)
                    hash = (hash ^ ((v >> (8 * i)) & 0xFF)) * 1099511628211u;
        }
    }

    ColorValue at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * Width + x]; }

    // Writes the pixels as an 8-bit RGB PNG (stored, uncompressed) for a person to look at.
    void writePng(const std::string& path) const;

    // The module the window names: the program's own unless a test says otherwise.
    ModuleHandle module = programModule();
    std::vector<ColorValue> pixels = std::vector<ColorValue>(Width * Height, 0);
    std::uint64_t calls = 0, outside = 0, wrongDc = 0;
    // FNV-1a over (x, y, colour) of the first hashedCalls SetPixel calls.
    std::uint64_t hashedCalls = 10000;
    std::uint64_t hash = 14695981039346656037u;

private:
    static std::string handleName(WindowHandle h) {
        return h == Window ? "console-window" : "other-window";
    }
    ShowLog& log_;
};

} // namespace veloria::testing
