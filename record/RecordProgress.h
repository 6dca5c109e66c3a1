// The progress of a recording on standard error, as long work shows it: on a terminal one
// line kept up to date (the movement being rendered, a bar, the percentage, frames rendered
// a second and the time left); elsewhere, such as a log, a line as each movement begins.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace veloria {

struct Movement {
    std::string name;
    std::int64_t firstFrame;
};

struct ProgressState {
    std::string movement;
    std::int64_t frame = 0;     // frames rendered
    std::int64_t frames = 0;    // frames in the whole video
    double framesPerSecond = 0; // rendering speed so far; 0 before it is known
};

// One line of progress, `width` characters at most.
std::string progressLine(const ProgressState& state, int width);

// "m:ss" of a number of seconds.
std::string minutesAndSeconds(double seconds);

class RecordProgress {
public:
    using Clock = std::chrono::steady_clock;

    // movements in the order they begin, the first at frame 0.
    RecordProgress(std::FILE* out, bool terminal, std::int64_t frames,
                   std::vector<Movement> movements);

    // Frame `frame` has been rendered.
    void frameDone(std::int64_t frame);
    ~RecordProgress() { finish(); }
    RecordProgress(const RecordProgress&) = delete;
    RecordProgress& operator=(const RecordProgress&) = delete;

    // Shows where the recording ended and ends the progress line, before anything else is
    // said on standard error (also when the recording fails).
    void finish();

    double framesPerSecond() const;
    Clock::duration elapsed() const { return Clock::now() - started_; }

private:
    void show(std::int64_t frame, std::size_t movement);
    ProgressState stateAt(std::int64_t frame) const;

    std::FILE* out_;
    bool terminal_;
    std::int64_t frames_;
    std::vector<Movement> movements_;
    std::size_t movement_ = 0;
    std::int64_t framesDone_ = 0;
    Clock::time_point started_ = Clock::now();
    Clock::time_point shown_{};
    bool lineOpen_ = false;
};

} // namespace veloria
