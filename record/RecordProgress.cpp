#include "record/RecordProgress.h"

#include <algorithm>
#include <cmath>

namespace veloria {
namespace {

// How often the terminal's line is redrawn.
constexpr auto Redraw = std::chrono::milliseconds(200);

} // namespace

std::string minutesAndSeconds(double seconds) {
    auto whole = static_cast<long long>(std::lround(std::max(0.0, seconds)));
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
    return text;
}

std::string progressLine(const ProgressState& s, int width) {
    double done = s.frames > 0 ? std::clamp(double(s.frame) / double(s.frames), 0.0, 1.0) : 0;
    char figures[96];
    if (s.framesPerSecond > 0)
        std::snprintf(figures, sizeof figures, " %3d %%  %4.0f frames/s  %s left",
                      static_cast<int>(done * 100), s.framesPerSecond,
                      minutesAndSeconds(double(s.frames - s.frame) / s.framesPerSecond).c_str());
    else
        std::snprintf(figures, sizeof figures, " %3d %%", static_cast<int>(done * 100));
    std::string head = "recording " + s.movement;
    head.resize(std::max<std::size_t>(head.size(), 27), ' ');
    // The bar takes what the head and the figures leave of the line, within reason.
    int barWidth = std::clamp(
        width - static_cast<int>(head.size() + std::char_traits<char>::length(figures)) - 3, 0, 40);
    std::string bar;
    if (barWidth >= 5) {
        int filled = static_cast<int>(done * barWidth);
        bar = " [" + std::string(static_cast<std::size_t>(filled), '#') +
              std::string(static_cast<std::size_t>(barWidth - filled), '-') + "]";
    }
    std::string line = head + bar + figures;
    if (static_cast<int>(line.size()) > width)
        line.resize(static_cast<std::size_t>(std::max(width, 0)));
    return line;
}

RecordProgress::RecordProgress(std::FILE* out, bool terminal, std::int64_t frames,
                               std::vector<Movement> movements)
    : out_(out), terminal_(terminal), frames_(frames), movements_(std::move(movements)) {
    show(0, 0);
}

ProgressState RecordProgress::stateAt(std::int64_t frame) const {
    return {movements_.empty() ? "" : movements_[movement_].name, frame, frames_,
            framesPerSecond()};
}

double RecordProgress::framesPerSecond() const {
    double seconds = std::chrono::duration<double>(elapsed()).count();
    return seconds > 0.5 ? double(framesDone_) / seconds : 0;
}

void RecordProgress::frameDone(std::int64_t frame) {
    framesDone_ = frame + 1;
    std::size_t movement = movement_;
    while (movement + 1 < movements_.size() && movements_[movement + 1].firstFrame <= frame)
        ++movement;
    if (movement != movement_ || (terminal_ && Clock::now() - shown_ >= Redraw))
        show(framesDone_, movement);
}

void RecordProgress::show(std::int64_t frame, std::size_t movement) {
    bool begins = movement != movement_ || shown_ == Clock::time_point{};
    movement_ = movement;
    shown_ = Clock::now();
    const ProgressState state = stateAt(frame);
    if (terminal_) {
        std::fprintf(out_, "\r%s\x1b[K", progressLine(state, 79).c_str());
        lineOpen_ = true;
    } else if (begins) {
        std::fprintf(out_, "%s\n", progressLine(state, 200).c_str());
    }
    std::fflush(out_);
}

void RecordProgress::finish() {
    if (!lineOpen_) return;
    std::fprintf(out_, "\r%s\x1b[K\n", progressLine(stateAt(framesDone_), 79).c_str());
    lineOpen_ = false;
    std::fflush(out_);
}

} // namespace veloria
