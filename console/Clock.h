// The show's only sense of time: blocking pauses in milliseconds.
#pragma once

#include <memory>

namespace veloria {

class Clock {
public:
    virtual ~Clock() = default;
    virtual void Sleep(unsigned milliseconds) = 0;
};

// The real clock of this platform.
std::unique_ptr<Clock> openClock();

} // namespace veloria
