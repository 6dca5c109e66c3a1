// The platform services the show runs on, gathered so that the show's sequence can be run
// against the real console or against recording fakes.
#pragma once

#include "console/Clock.h"
#include "console/Console.h"
#include "media/Music.h"
#include "pixels/WindowSurface.h"

namespace veloria {

struct Platform {
    Console& console;
    Clock& clock;
    Music& music;
    WindowSurface& surface;
};

} // namespace veloria
