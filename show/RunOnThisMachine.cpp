#include "show/RunOnThisMachine.h"

#include "pixels/Bitmap.h"
#include "show/Show.h"

#include <cstdio>

namespace veloria {

int runOnThisMachine(int speedup) {
    try {
        auto console = openConsole();
        auto clock = openClock(speedup);
        auto music = openMusic();
        auto surface = openWindowSurface(speedup);
        Platform platform{*console, *clock, *music, *surface};
        return runShow(platform);
    } catch (const PictureError& e) {
        std::fprintf(stderr, "veloria: %s\n", e.what());
        return 1;
    }
}

} // namespace veloria
