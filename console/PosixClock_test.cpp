#include "console/Clock.h"

#include "terminal/RunningClock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace veloria {
namespace {

using namespace std::chrono_literals;

// A pause that meets a stop (Ctrl-Z) lasts beyond the continue, however long the stop was:
// the music resumes where it stopped, and so must the show.
TEST(PosixClock, APauseWaitsOutAStop) {
    auto clock = openClock(1);
    RunningClock::stopped();
    std::atomic<bool> continued = false;
    std::thread fg([&] {
        std::this_thread::sleep_for(100ms);
        continued = true;
        RunningClock::continued();
    });
    clock->Sleep(60);
    EXPECT_TRUE(continued);
    fg.join();
}

} // namespace
} // namespace veloria
