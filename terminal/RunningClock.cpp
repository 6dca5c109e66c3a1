#include "terminal/RunningClock.h"

#include <atomic>
#include <cstdint>
#include <time.h>

namespace veloria {
namespace {

// The whole state in one word, so that a signal handler changes it with one store and a
// reader on any thread sees it either before or after: while running, the time spent stopped
// so far; while stopped, the clock's reading at the stop. Nanoseconds, shifted left one bit;
// the low bit is set while stopped.
std::atomic<std::int64_t> state{0};
static_assert(std::atomic<std::int64_t>::is_always_lock_free, "changed from a signal handler");

// The steady clock's own source, read the async-signal-safe way.
std::int64_t steadyNanoseconds() noexcept {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return std::int64_t{t.tv_sec} * 1'000'000'000 + t.tv_nsec;
}

bool isStopped(std::int64_t word) {
    return word & 1;
}

} // namespace

RunningClock::time_point RunningClock::now() noexcept {
    // A stop or continue between the two looks changes the word: then look again, so that the
    // steady reading always goes with the state it was taken in.
    std::int64_t word = state.load(), steady = 0, before = 0;
    do {
        before = word;
        steady = steadyNanoseconds();
        word = state.load();
    } while (word != before);
    return time_point(duration(isStopped(word) ? word >> 1 : steady - (word >> 1)));
}

void RunningClock::stopped() noexcept {
    std::int64_t word = state.load();
    if (isStopped(word)) return;
    state.store((steadyNanoseconds() - (word >> 1)) << 1 | 1);
}

void RunningClock::continued() noexcept {
    std::int64_t word = state.load();
    if (!isStopped(word)) return;
    // The time stopped so far is whatever puts the clock back at its reading at the stop.
    state.store((steadyNanoseconds() - (word >> 1)) << 1);
}

} // namespace veloria
