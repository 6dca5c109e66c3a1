// The show's own time: the machine's steady clock less the time the show spent stopped by job
// control (Ctrl-Z until fg). Pauses and paces measured on it carry on after a stop where they
// were, instead of rushing to catch up with the stopped time. While the show is stopped the
// clock stands still. The terminal guard marks the stop and the continue from its signal
// handler; reading and marking are async-signal-safe and may happen on any thread.
#pragma once

#include <chrono>

namespace veloria {

class RunningClock {
public:
    using duration = std::chrono::nanoseconds;
    using rep = duration::rep;
    using period = duration::period;
    using time_point = std::chrono::time_point<RunningClock>;
    // Not steady: it stands still while the show is stopped, so a sleep until one of its
    // times looks at it again after waking.
    static constexpr bool is_steady = false;

    static time_point now() noexcept;

    // From here until continued() the clock stands still.
    static void stopped() noexcept;
    static void continued() noexcept;
};

} // namespace veloria
