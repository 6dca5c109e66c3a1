#include "console/Clock.h"

#include <chrono>
#include <thread>

namespace veloria {
namespace {

class PosixClock final : public Clock {
  public:
    // sleep_for resumes after signals such as SIGWINCH, so a pause is never cut short.
    void Sleep(unsigned milliseconds) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
};

} // namespace

std::unique_ptr<Clock> openClock() {
    return std::make_unique<PosixClock>();
}

} // namespace veloria
