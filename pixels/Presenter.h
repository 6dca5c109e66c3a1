// Shows a pixel surface on a terminal at up to 30 frames per second, apart from the drawing:
// each frame is scheduled against the first, and a frame whose time has passed while the
// terminal was still taking the one before is dropped, never waited for. Frames are only
// made when something was drawn or the terminal's screen was disturbed. Counts what it did.
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

    // write sends a frame's bytes to the terminal, blocking while the terminal reads them.
    Presenter(const PixelSurface& surface, TerminalCanvas& canvas,
              std::function<void(std::string_view)> write)
        : surface_(surface), canvas_(canvas), write_(std::move(write)) {}

    // Makes the frame due at `now` if anything changed: drawCount is the number of pixels
    // drawn so far, disturbed whether the screen must be drawn whole (the terminal has a new
    // geometry, or was used by others while the show was stopped). Returns when the next
    // frame is due.
    PaceClock::time_point present(PaceClock::time_point now, std::uint64_t drawCount,
                                  const TerminalGeometry& terminal, bool disturbed);

    const PresenterCounters& counters() const { return counters_; }

private:
    const PixelSurface& surface_;
    TerminalCanvas& canvas_;
    std::function<void(std::string_view)> write_;
    PresenterCounters counters_;
    std::string frame_;
    std::uint64_t shownDrawCount_ = 0;
    bool started_ = false;
    PaceClock::time_point next_{};
};

} // namespace veloria
