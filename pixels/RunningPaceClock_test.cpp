#include "pixels/PixelPace.h"

#include "terminal/RunningClock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace veloria {
namespace {

using namespace std::chrono_literals;

// The pace clock stands still while the show is stopped (Ctrl-Z), so that after the continue
// the pixels of the stopped time are not drawn all at once.
TEST(RunningPaceClock, StandsStillWhileTheShowIsStopped) {
    for (int speedup : {1, 20}) {
        auto clock = openPaceClock(speedup);
        RunningClock::stopped();
        auto atTheStop = clock->now();
        std::this_thread::sleep_for(2ms);
        EXPECT_EQ(clock->now(), atTheStop) << speedup;

        std::atomic<bool> continued = false;
        std::thread fg([&] {
            std::this_thread::sleep_for(100ms);
            continued = true;
            RunningClock::continued();
        });
        clock->sleepUntil(atTheStop + 10ms);
        EXPECT_TRUE(continued) << speedup;
        fg.join();
    }
}

} // namespace
} // namespace veloria
