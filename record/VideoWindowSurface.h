// The console window of a recording: the gallery's pixels go into the video's window, at the
// pace a Windows console window takes them, on the recording's virtual time.
#pragma once

#include "pixels/PixelPace.h"
#include "pixels/WindowSurface.h"
#include "record/DesktopPicture.h"

#include <optional>

namespace veloria {

class VideoWindowSurface final : public WindowSurface {
public:
    VideoWindowSurface(DesktopPicture& picture, PaceClock& clock);

    WindowHandle GetConsoleWindow() override;
    DeviceContext GetDC(WindowHandle window) override { return window; }
    ModuleHandle GetWindowModule(WindowHandle) override { return programModule(); }
    void SetPixel(DeviceContext, int x, int y, ColorValue colour) override {
        pace_.tick();
        picture_.setClientPixel(x, y, colour);
    }

    // When the show first took the window: the start of its gallery.
    std::optional<PaceClock::time_point> windowTaken() const { return windowTaken_; }

private:
    DesktopPicture& picture_;
    PaceClock& clock_;
    PixelPace pace_;
    std::optional<PaceClock::time_point> windowTaken_;
};

} // namespace veloria
