#include "record/VideoTimeline.h"

#include <gtest/gtest.h>

#include <vector>

namespace veloria {
namespace {

using namespace std::chrono_literals;

// Records, for each frame taken, what the show had done by then.
struct FrameLog {
    int state = 0;
    std::vector<int> frames;
    VideoTimeline timeline{60, [this](std::int64_t k) {
                               EXPECT_EQ(k, static_cast<std::int64_t>(frames.size()));
                               frames.push_back(state);
                           }};
};

TEST(VideoTimeline, EachFrameShowsWhatHappenedUpToItsMoment) {
    FrameLog log;
    TimelineClock clock(log.timeline);
    log.state = 1;   // at 0 ms: frame 0 shows it
    clock.Sleep(50); // frames 0, 1, 2 are due at 0, 16.7 and 33.3 ms
    log.state = 2;   // at 50 ms, exactly frame 3's moment
    clock.Sleep(1);
    log.state = 3;
    clock.Sleep(0);
    log.timeline.advanceTo(40ms); // time never goes back
    clock.Sleep(16);
    EXPECT_EQ(log.frames, (std::vector<int>{1, 1, 1, 2, 3}));
    EXPECT_EQ(log.timeline.now(), 67ms);
    log.timeline.advanceTo(1s);
    // Frame 60 is due at 1 s exactly and shows what happens then.
    EXPECT_EQ(log.timeline.framesTaken(), 60);
}

TEST(VideoTimeline, ThePixelPaceRunsOnVirtualTime) {
    FrameLog log;
    TimelinePaceClock clock(log.timeline);
    PixelPace pace(130000, clock);
    // Two seconds of pixel calls move the timeline on by two seconds, within one block.
    for (int i = 0; i < 260000; ++i) pace.tick();
    EXPECT_NEAR(std::chrono::duration<double>(log.timeline.now()).count(), 2.0,
                double(PixelPace::Block) / 130000);
    // Every frame due before then was taken: those of the two seconds, and one more for the
    // block that ends just after them.
    EXPECT_EQ(log.timeline.framesTaken(), 121);
}

} // namespace
} // namespace veloria
