// How many times faster than real time the clocks of the test-only fast build run.
#pragma once

namespace veloria::testing {

inline constexpr int FastClockSpeedup = 20;

} // namespace veloria::testing
