#include "pixels/PixelPace.h"

#include <thread>

namespace veloria {
namespace {

class SystemPaceClock final : public PaceClock {
public:
    time_point now() override { return std::chrono::steady_clock::now(); }
    void sleepUntil(time_point when) override { std::this_thread::sleep_until(when); }
};

} // namespace

PaceClock& systemPaceClock() {
    static SystemPaceClock clock;
    return clock;
}

} // namespace veloria
