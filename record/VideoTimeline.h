// The virtual time of a recording. The show's pauses and the pixel pace move it on instantly;
// as it passes each frame's moment the frame is taken, so the video shows the show at its
// real pace however fast or slow the machine renders it. Frame k is due at k / rate seconds
// and shows everything that happened up to and including that moment.
#pragma once

#include "console/Clock.h"
#include "pixels/PixelPace.h"

#include <chrono>
#include <cstdint>
#include <functional>

namespace veloria {

class VideoTimeline {
public:
    using Duration = std::chrono::nanoseconds;

    // takeFrame(k) is called once for each frame k, in order.
    VideoTimeline(int framesPerSecond, std::function<void(std::int64_t)> takeFrame)
        : rate_(framesPerSecond), takeFrame_(std::move(takeFrame)) {}

    Duration now() const { return now_; }
    // The moment frame k is due.
    Duration frameTime(std::int64_t k) const { return Duration(k * Duration::period::den / rate_); }
    // Moves time on to `when` (never back), taking every frame due before it.
    void advanceTo(Duration when);
    std::int64_t framesTaken() const { return nextFrame_; }

private:
    int rate_;
    std::function<void(std::int64_t)> takeFrame_;
    Duration now_{};
    std::int64_t nextFrame_ = 0;
};

// The show's clock on the timeline: a pause moves it on by that long.
class TimelineClock final : public Clock {
public:
    explicit TimelineClock(VideoTimeline& timeline) : timeline_(timeline) {}
    void Sleep(unsigned milliseconds) override {
        timeline_.advanceTo(timeline_.now() + std::chrono::milliseconds(milliseconds));
    }

private:
    VideoTimeline& timeline_;
};

// The pixel pace's clock on the timeline, its epoch the start of the recording.
class TimelinePaceClock final : public PaceClock {
public:
    explicit TimelinePaceClock(VideoTimeline& timeline) : timeline_(timeline) {}
    time_point now() override {
        return time_point(std::chrono::duration_cast<time_point::duration>(timeline_.now()));
    }
    void sleepUntil(time_point when) override {
        timeline_.advanceTo(
            std::chrono::duration_cast<VideoTimeline::Duration>(when.time_since_epoch()));
    }

private:
    VideoTimeline& timeline_;
};

} // namespace veloria
