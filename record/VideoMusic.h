// The show's music in a recording: the track the show starts is laid into the video's sound
// from that moment on, with silence before it and after its end.
#pragma once

#include "media/Music.h"
#include "media/RiffWave.h"
#include "record/VideoTimeline.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace veloria {

// One of the program's tracks as 16-bit PCM; RecordError where there is no such track or it
// is in another format.
WaveSound builtInTrack(std::string_view name);

class VideoMusic final : public Music {
public:
    explicit VideoMusic(const VideoTimeline& timeline) : timeline_(timeline) {}

    void play(std::string_view name) override;

    struct Played {
        std::string name;
        WaveSound track;
        VideoTimeline::Duration start;
        VideoTimeline::Duration end() const;
    };
    // The track the show started and when, if it has.
    const std::optional<Played>& played() const { return played_; }

    // The sound from sound frame `first` on (a frame holds one sample per channel, at the
    // track's rate), into `out`, whole frames.
    void sound(std::int64_t first, std::span<std::int16_t> out) const;

private:
    const VideoTimeline& timeline_;
    std::optional<Played> played_;
};

} // namespace veloria
