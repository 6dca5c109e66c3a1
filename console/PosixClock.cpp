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
    explicit PosixClock(int speedup) : speedup_(speedup) {}

    void Sleep(unsigned milliseconds) override {
        using namespace std::chrono;
        const auto moment = duration_cast<steady_clock::duration>(20ms) / speedup_;
        auto now = steady_clock::now();
        next_ = std::max(next_, now - moment) +
                duration_cast<steady_clock::duration>(milliseconds * 1ms) / speedup_;
        // sleep_until resumes after signals such as SIGWINCH, so a pause is never cut short.
        std::this_thread::sleep_until(next_);
    }

private:
    int speedup_;
    std::chrono::steady_clock::time_point next_{};
};

} // namespace

std::unique_ptr<Clock> openClock(int speedup) {
    return std::make_unique<PosixClock>(speedup);
}

} // namespace veloria
