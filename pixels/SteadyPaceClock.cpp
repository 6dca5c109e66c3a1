#include "pixels/PixelPace.h"

#include <thread>

namespace veloria {
namespace {

// The machine's steady clock, run `speedup` times faster from the moment it is made.
class SteadyPaceClock final : public PaceClock {
public:
    explicit SteadyPaceClock(int speedup) : speedup_(speedup) {}

    time_point now() override {
        return start_ + (std::chrono::steady_clock::now() - start_) * speedup_;
    }
    void sleepUntil(time_point when) override {
        std::this_thread::sleep_for((when - now()) / speedup_);
    }

private:
    int speedup_;
    time_point start_ = std::chrono::steady_clock::now();
};

} // namespace

std::unique_ptr<PaceClock> openPaceClock(int speedup) {
    return std::make_unique<SteadyPaceClock>(speedup);
}

} // namespace veloria
