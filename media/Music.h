// Plays one of the program's tracks in the background: play() returns at once and the track
// plays once to its end alongside the show; nothing stops it but the end of the process.
// Without a sound service or device the show goes on in silence, and nothing is printed.
#pragma once

#include <memory>
#include <string_view>

namespace veloria {

class Music {
public:
    virtual ~Music() = default;
    // Starts the "SOUND" resource of that name.
    virtual void play(std::string_view name) = 0;
};

// The sound service of this platform.
std::unique_ptr<Music> openMusic();

} // namespace veloria
