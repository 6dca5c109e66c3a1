#include "pixels/FrameWriter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace veloria {
namespace {

using namespace std::chrono_literals;

// A terminal that reads each frame only when the test lets it, and keeps what it read.
class HeldTerminal {
public:
    void write(std::string_view bytes) {
        std::unique_lock lock(mutex_);
        std::size_t frame = started_++;
        changed_.notify_all();
        changed_.wait(lock, [&] { return released_ > frame; });
        written_.push_back(std::string(bytes));
        writtenBy_.push_back(std::this_thread::get_id());
    }
    void release() {
        std::lock_guard lock(mutex_);
        ++released_;
        changed_.notify_all();
    }
    void releaseAll() {
        std::lock_guard lock(mutex_);
        released_ = 1000;
        changed_.notify_all();
    }
    // Waits until the terminal was sent `count` frames.
    void waitForStarted(std::size_t count) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return started_ >= count; });
    }
    std::vector<std::string> written() {
        std::lock_guard lock(mutex_);
        return written_;
    }
    std::vector<std::thread::id> writtenBy() {
        std::lock_guard lock(mutex_);
        return writtenBy_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::size_t started_ = 0;
    std::vector<std::string> written_;
    std::vector<std::thread::id> writtenBy_;
    std::size_t released_ = 0;
};

TEST(FrameWriter, HandsAFrameOverWhileTheTerminalStillReadsTheOneBefore) {
    HeldTerminal terminal;
    FrameWriter writer([&](std::string_view bytes) { terminal.write(bytes); });
    std::string frame = "first";
    // Returns while the terminal has not taken the frame yet; the caller's buffer is free.
    auto firstHandedOver = std::async(std::launch::async, [&] { writer.write(frame); });
    bool returned = firstHandedOver.wait_for(10s) == std::future_status::ready;
    EXPECT_TRUE(returned);
    if (!returned) terminal.releaseAll();
    firstHandedOver.get();
    frame = "second";
    terminal.waitForStarted(1);
    auto secondHandedOver = std::async(std::launch::async, [&] { writer.write(frame); });
    // The second waits for the first to be written.
    EXPECT_EQ(secondHandedOver.wait_for(50ms), std::future_status::timeout);
    terminal.release();
    secondHandedOver.get();
    terminal.waitForStarted(2);
    terminal.release();
    writer.finish();
    EXPECT_EQ(terminal.written(), (std::vector<std::string>{"first", "second"}));
}

TEST(FrameWriter, FinishWritesWhatItHoldsAndLaterFramesGoAtOnce) {
    HeldTerminal terminal;
    terminal.releaseAll();
    std::vector<std::string> frames{"a", "bb", "ccc"};
    {
        FrameWriter writer([&](std::string_view bytes) { terminal.write(bytes); });
        for (const std::string& frame : frames) writer.write(frame);
        writer.finish();
        EXPECT_EQ(terminal.written(), frames);
        writer.write("last");
        // Written before write() returned, on this thread.
        EXPECT_EQ(terminal.written().back(), "last");
        EXPECT_EQ(terminal.writtenBy().back(), std::this_thread::get_id());
        EXPECT_NE(terminal.writtenBy().front(), std::this_thread::get_id());
    }
    // Ending without finish() also writes what is held.
    {
        FrameWriter writer([&](std::string_view bytes) { terminal.write(bytes); });
        writer.write("held");
    }
    EXPECT_EQ(terminal.written().back(), "held");
}

} // namespace
} // namespace veloria
