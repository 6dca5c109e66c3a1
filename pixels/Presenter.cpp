#include "pixels/Presenter.h"

#include <algorithm>

namespace veloria {

PaceClock::time_point Presenter::present(std::uint64_t drawCount, const TerminalGeometry& terminal,
                                         bool disturbed) {
    PaceClock::time_point start = clock_();
    bool first = !started_;
    if (first) {
        started_ = true;
        first_ = start;
    }
    long long slot = (start - first_) / FrameInterval;
    if (disturbed) canvas_.invalidate();
    if (disturbed || drawCount != shownDrawCount_) {
        frame_.clear();
        canvas_.encodeFrame(surface_, terminal, frame_);
        if (!frame_.empty()) write_(frame_);
        shownDrawCount_ = drawCount;
        ++counters_.framesShown;
        counters_.bytesWritten += frame_.size();
        if (slot > lastSlot_ + 1) counters_.framesDropped += slot - lastSlot_ - 1;
        // A quarter of each new frame's time: one slow frame does not halve the rate, a
        // terminal that stays slow sets it within a few frames.
        PaceClock::time_point::duration took = clock_() - start;
        taking_ = first ? took : taking_ + (took - taking_) / 4;
    }
    lastSlot_ = slot;
    return start + std::max<PaceClock::time_point::duration>(FrameInterval, taking_);
}

} // namespace veloria
