// Paces a stream of pixel calls to a fixed rate on an absolute schedule: call k completes no
// earlier than t0 + k / rate, where t0 is the time of the first call. Delays (a slow load, a
// busy machine) are made up by later calls running without pauses, so they never add up.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>

namespace veloria {

class PaceClock {
public:
    using time_point = std::chrono::steady_clock::time_point;
    virtual ~PaceClock() = default;
    virtual time_point now() = 0;
    virtual void sleepUntil(time_point when) = 0;
};

// The show's running clock, which leaves out the time the show was stopped, `speedup` times
// faster than real time (1 for the show).
std::unique_ptr<PaceClock> openPaceClock(int speedup);

class PixelPace {
public:
    // The clock is looked at once per block of calls, which keeps a call at nanoseconds.
    static constexpr std::uint64_t Block = 1024;

    PixelPace(double callsPerSecond, PaceClock& clock) : rate_(callsPerSecond), clock_(clock) {}

    void tick() {
        if (calls_++ % Block == 0) keepPace();
    }

private:
    void keepPace();

    double rate_;
    PaceClock& clock_;
    std::uint64_t calls_ = 0;
    PaceClock::time_point start_{};
};

} // namespace veloria
