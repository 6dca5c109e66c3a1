// The show's only sense of time: blocking pauses in milliseconds.
#pragma once

#include <memory>

namespace veloria {

class Clock {
public:
    virtual ~Clock() = default;
    virtual void Sleep(unsigned milliseconds) = 0;
};

// The real clock of this platform, its pauses `speedup` times shorter than asked: 1 for the
// show, more for a test build that runs the whole show in seconds.
std::unique_ptr<Clock> openClock(int speedup);

} // namespace veloria
