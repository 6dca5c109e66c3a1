// Renders a Song to floating-point stereo. The notes are scheduled first (patterns laid out
// on the timeline, arpeggios expanded), then voices, tracks, the pump, delay and reverb run
// sample by sample. All state lives in one render call, so the same song and length give the
// same samples bit for bit, on every platform and however often it is rendered.
#pragma once

#include "media/music/Song.h"
#include "media/music/StereoSignal.h"

#include <cstdint>
#include <vector>

namespace veloria::music {

// One note the song plays: when it starts and is released (in frames), on which track.
struct ScheduledNote {
    int64_t frame;
    int64_t releaseFrame;
    int track;
    int note;
    double velocity; // 0..1
};

// Every note of the song ordered by start frame (ties by track), arpeggios expanded.
std::vector<ScheduledNote> scheduleNotes(const Song& song);

// The song's first `frames` frames (at most song.frames), before mastering.
StereoSignal renderSong(const Song& song, int64_t frames);

} // namespace veloria::music
