#include "terminal/RunningClock.h"

#include <gtest/gtest.h>

#include <thread>

namespace veloria {
namespace {

using namespace std::chrono_literals;

// Bounds that hold however busy the machine: the clock counts at least the time slept while
// running, and at most the time that passed less the time spent stopped.
TEST(RunningClock, LeavesOutEveryStopAndStandsStillDuringOne) {
    auto steadyBefore = std::chrono::steady_clock::now();
    auto before = RunningClock::now();
    for (int stop = 0; stop < 2; ++stop) {
        std::this_thread::sleep_for(10ms);
        RunningClock::stopped();
        auto atTheStop = RunningClock::now();
        std::this_thread::sleep_for(20ms);
        EXPECT_EQ(RunningClock::now(), atTheStop) << stop;
        RunningClock::continued();
    }
    auto after = RunningClock::now();
    auto steadyAfter = std::chrono::steady_clock::now();
    EXPECT_GE(after - before, 20ms);
    EXPECT_LE(after - before, steadyAfter - steadyBefore - 40ms);
}

} // namespace
} // namespace veloria
