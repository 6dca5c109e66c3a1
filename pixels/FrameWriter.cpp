#include "pixels/FrameWriter.h"

#include "terminal/QuietThread.h"
#include "terminal/ThreadCpuTime.h"

namespace veloria {

FrameWriter::FrameWriter(std::function<void(std::string_view)> write)
    : write_(std::move(write)), thread_(startQuietThread([this] { run(); })) {}

FrameWriter::~FrameWriter() {
    finish();
}

void FrameWriter::write(std::string_view frame) {
    std::unique_lock lock(mutex_);
    if (finished_) {
        lock.unlock();
        write_(frame);
        return;
    }
    changed_.wait(lock, [this] { return !pending_; });
    frame_.assign(frame);
    pending_ = true;
    changed_.notify_all();
}

void FrameWriter::finish() {
    {
        std::lock_guard lock(mutex_);
        if (finished_) return;
        finishing_ = true;
    }
    changed_.notify_all();
    thread_.join();
    std::lock_guard lock(mutex_);
    finished_ = true;
}

void FrameWriter::run() {
    std::unique_lock lock(mutex_);
    while (true) {
        changed_.wait(lock, [this] { return pending_ || finishing_; });
        if (!pending_) break;
        // frame_ is not touched by write() while pending_ is set.
        lock.unlock();
        write_(frame_);
        lock.lock();
        pending_ = false;
        changed_.notify_all();
    }
    cpuTime_ = threadCpuTime();
}

} // namespace veloria
