// Shows a pixel surface on a terminal at up to 30 frames per second, apart from the drawing.
// The rate follows what the terminal takes: each frame is due one interval after the last
// began, the interval being a thirtieth of a second or, where the terminal takes longer to
// take a frame (smoothed over the last few), that long; so a slow terminal gets evenly spaced
// frames rather than bursts and gaps, and no frame is ever waited for. Frames are only made
// when something was drawn or the terminal's screen was disturbed. Counts what it did: a
// thirtieth of a second that passed without the frame it was due is a frame dropped.
#pragma once

#include "pixels/PixelPace.h"
#include "terminal/PixelSurface.h"
#include "terminal/canvas/TerminalCanvas.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace veloria {

struct PresenterCounters {
    std::uint64_t framesShown = 0;
    std::uint64_t framesDropped = 0;
    std::uint64_t bytesWritten = 0;
};

class Presenter {
public:
    static constexpr auto FrameInterval = std::chrono::microseconds(1000000 / 30);

    using Clock = std::function<PaceClock::time_point()>;

    // write sends a frame's bytes to the terminal, blocking until the terminal can take them
    // (while it reads them, or the frame before); clock tells the time.
    Presenter(const PixelSurface& surface, TerminalCanvas& canvas,
              std::function<void(std::string_view)> write, Clock clock)
        : surface_(surface), canvas_(canvas), write_(std::move(write)), clock_(std::move(clock)) {}

    // Makes the frame due now if anything changed: drawCount is the number of pixels drawn so
    // far, disturbed whether the screen must be drawn whole (the terminal has a new geometry,
    // or was used by others while the show was stopped). Returns when the next frame is due.
    PaceClock::time_point present(std::uint64_t drawCount, const TerminalGeometry& terminal,
                                  bool disturbed);

    const PresenterCounters& counters() const { return counters_; }

private:
    const PixelSurface& surface_;
    TerminalCanvas& canvas_;
    std::function<void(std::string_view)> write_;
    Clock clock_;
    PresenterCounters counters_;
    std::string frame_;
    std::uint64_t shownDrawCount_ = 0;
    bool started_ = false;
    PaceClock::time_point first_{};
    long long lastSlot_ = 0;                   // the thirtieth of a second last looked at
    PaceClock::time_point::duration taking_{}; // how long the terminal takes a frame, smoothed
};

} // namespace veloria
