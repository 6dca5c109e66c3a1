// The show's clocks running twenty times faster, for a test-only build of the real program:
// every pause is a twentieth as long and the pixel pace twenty times as quick, so a whole
// show takes about 16 s. Linked in place of the platform's clocks, nothing else changes.
#include "console/Clock.h"
#include "pixels/PixelPace.h"

#include <chrono>
#include <thread>

namespace veloria {
namespace {

constexpr int Speed = 20;

class FastClock final : public Clock {
public:
    void Sleep(unsigned milliseconds) override {
        using namespace std::chrono;
        next_ =
            std::max(next_, steady_clock::now() - 1ms) + microseconds(milliseconds * 1000 / Speed);
        std::this_thread::sleep_until(next_);
    }

private:
    std::chrono::steady_clock::time_point next_{};
};

class FastPaceClock final : public PaceClock {
public:
    time_point now() override {
        return start_ + (std::chrono::steady_clock::now() - start_) * Speed;
    }
    void sleepUntil(time_point when) override {
        std::this_thread::sleep_for((when - now()) / Speed);
    }

private:
    time_point start_ = std::chrono::steady_clock::now();
};

} // namespace

std::unique_ptr<Clock> openClock() {
    return std::make_unique<FastClock>();
}

PaceClock& systemPaceClock() {
    static FastPaceClock clock;
    return clock;
}

} // namespace veloria
