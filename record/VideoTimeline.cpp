#include "record/VideoTimeline.h"

namespace veloria {

void VideoTimeline::advanceTo(Duration when) {
    if (when <= now_) return;
    // Frames due before `when` show the state as it is now; whatever happens at `when`
    // belongs to the frames from then on.
    while (frameTime(nextFrame_) < when) takeFrame_(nextFrame_++);
    now_ = when;
}

} // namespace veloria
