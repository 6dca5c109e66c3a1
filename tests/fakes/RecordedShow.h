// The whole show run once against the recording fakes, in virtual time: the log of every call,
// and the surface with every pixel drawn. Its 30.5 million pixels take a moment.
#pragma once

#include "pixels/RandomBelow.h"
#include "show/Show.h"
#include "tests/fakes/RecordingPlatform.h"
#include "tests/fakes/RecordingSurface.h"

namespace veloria::testing {

struct RecordedShow {
    RecordedShow() {
        restartRandom();
        exitCode = runShow(platform);
    }
    ShowLog log;
    RecordingConsole console{log};
    VirtualClock clock{log};
    RecordingMusic music{log};
    RecordingSurface surface{log};
    Platform platform{console, clock, music, surface};
    int exitCode = -1;
};

} // namespace veloria::testing
