// Writes the presenter's frames to the terminal on a thread of its own, one at a time and in
// order. A frame is handed over as soon as the one before it has been written, so the next
// frame is made while the terminal still reads this one: for a terminal that takes a frame
// slowly, making it no longer adds to the time between frames.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

namespace veloria {

class FrameWriter {
public:
    // write sends bytes to the terminal, blocking while the terminal reads them.
    explicit FrameWriter(std::function<void(std::string_view)> write);
    FrameWriter(const FrameWriter&) = delete;
    FrameWriter& operator=(const FrameWriter&) = delete;
    ~FrameWriter(); // finishes

    // Waits until the frame before has been written, then takes a copy of this one to write.
    // After finish(), writes at once, on the caller's thread.
    void write(std::string_view frame);

    // Waits until every frame handed over has been written, and ends the writing thread; called
    // once no other thread hands frames over any more.
    void finish();

    // The processor time the writing thread used, once finished.
    std::chrono::nanoseconds cpuTime() const { return cpuTime_; }

private:
    void run();

    std::function<void(std::string_view)> write_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::string frame_;    // the frame being written, or waiting to be
    bool pending_ = false; // frame_ is not written yet
    bool finishing_ = false;
    bool finished_ = false;
    std::chrono::nanoseconds cpuTime_{};
    std::thread thread_;
};

} // namespace veloria
