#include "console/Clock.h"

#include <windows.h>

namespace veloria {
namespace {

class WindowsClock final : public Clock {
public:
    explicit WindowsClock(int speedup) : speedup_(speedup) {}
    void Sleep(unsigned milliseconds) override { ::Sleep(milliseconds / speedup_); }

private:
    unsigned speedup_;
};

} // namespace

std::unique_ptr<Clock> openClock(int speedup) {
    return std::make_unique<WindowsClock>(speedup);
}

} // namespace veloria
