#include "console/Clock.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace veloria {
namespace {

// Pauses are laid on an absolute schedule: each one ends its length after the end of the one
// before, so the few milliseconds a busy machine adds to every wake-up do not pile up over
// the hundreds of pauses of a text. After other work (more than a moment since the last
// pause ended) the schedule starts again from now, so the show never rushes to catch up.
class PosixClock final : public Clock {
public:
    void Sleep(unsigned milliseconds) override {
        using namespace std::chrono;
        constexpr auto Moment = 20ms;
        auto now = steady_clock::now();
        next_ = std::max(next_, now - Moment) + milliseconds * 1ms;
        // sleep_until resumes after signals such as SIGWINCH, so a pause is never cut short.
        std::this_thread::sleep_until(next_);
    }

private:
    std::chrono::steady_clock::time_point next_{};
};

} // namespace

std::unique_ptr<Clock> openClock() {
    return std::make_unique<PosixClock>();
}

} // namespace veloria
