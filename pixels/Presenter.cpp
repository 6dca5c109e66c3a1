#include "pixels/Presenter.h"

namespace veloria {

PaceClock::time_point Presenter::present(PaceClock::time_point now, std::uint64_t drawCount,
                                         const TerminalGeometry& terminal, bool disturbed) {
    if (!started_) {
        started_ = true;
        next_ = now;
    }
    if (disturbed) canvas_.invalidate();
    if (disturbed || drawCount != shownDrawCount_) {
        frame_.clear();
        canvas_.encodeFrame(surface_, terminal, frame_);
        if (!frame_.empty()) write_(frame_);
        shownDrawCount_ = drawCount;
        ++counters_.framesShown;
        counters_.bytesWritten += frame_.size();
    }
    // Frames whose time passed while this one was made and written are dropped.
    next_ += FrameInterval;
    while (next_ <= now) {
        next_ += FrameInterval;
        ++counters_.framesDropped;
    }
    return next_;
}

} // namespace veloria
