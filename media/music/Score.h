// The veloria soundtrack as data: tempo, instruments, patterns and the arrangement in bars.
// 264.17 s at 144.9 BPM: a 16-bar build-up, the beat dropping at 26.5 s, then five sections of
// 28 bars, the last followed by the final chord fading out over 3.5 bars.
#pragma once

#include "media/music/Song.h"

namespace veloria::music {

const Song& veloriaSong();

} // namespace veloria::music
