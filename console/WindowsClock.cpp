#include "console/Clock.h"

#include <windows.h>

namespace veloria {
namespace {

class WindowsClock final : public Clock {
public:
    void Sleep(unsigned milliseconds) override { ::Sleep(milliseconds); }
};

} // namespace

std::unique_ptr<Clock> openClock() {
    return std::make_unique<WindowsClock>();
}

} // namespace veloria
