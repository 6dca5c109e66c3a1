#include "pixels/PixelPace.h"

#include "terminal/RunningClock.h"

#include <thread>

namespace veloria {
namespace {

// The show's running clock, which stands still while the show is stopped, run `speedup`
// times faster from the moment it is made. A stop therefore leaves the pace where it was:
// the pixels of the stopped time are not drawn all at once after it.
class RunningPaceClock final : public PaceClock {
public:
    explicit RunningPaceClock(int speedup) : speedup_(speedup) {}

    time_point now() override { return start_ + (RunningClock::now() - runningStart_) * speedup_; }
    void sleepUntil(time_point when) override {
        std::this_thread::sleep_until(runningStart_ + (when - start_) / speedup_);
    }

private:
    int speedup_;
    time_point start_ = std::chrono::steady_clock::now();
    RunningClock::time_point runningStart_ = RunningClock::now();
};

} // namespace

std::unique_ptr<PaceClock> openPaceClock(int speedup) {
    return std::make_unique<RunningPaceClock>(speedup);
}

} // namespace veloria
