#include "console/Clock.h"

#include "terminal/RunningClock.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace veloria {
namespace {

// Pauses are laid on an absolute schedule: each one ends its length after the end of the one
// before, so the few milliseconds a busy machine adds to every wake-up do not pile up over
// the hundreds of pauses of a text. After other work (more than a moment since the last
// pause ended) the schedule starts again from now, so the show never rushes to catch up.
// The schedule runs on the show's running clock: a pause cut by a stop (Ctrl-Z) lasts its
// remaining time after the continue, and the stopped time is no delay to catch up.
class PosixClock final : public Clock {
public:
    explicit PosixClock(int speedup) : speedup_(speedup) {}

    void Sleep(unsigned milliseconds) override {
        using namespace std::chrono;
        const auto moment = duration_cast<RunningClock::duration>(20ms) / speedup_;
        auto now = RunningClock::now();
        next_ = std::max(next_, now - moment) +
                duration_cast<RunningClock::duration>(milliseconds * 1ms) / speedup_;
        // sleep_until resumes after signals such as SIGWINCH, so a pause is never cut short,
        // and looks at the clock again on waking, so a stop does not end it either.
        std::this_thread::sleep_until(next_);
    }

private:
    int speedup_;
    RunningClock::time_point next_{};
};

} // namespace

std::unique_ptr<Clock> openClock(int speedup) {
    return std::make_unique<PosixClock>(speedup);
}

} // namespace veloria
