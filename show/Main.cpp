// The program's entry: runs the show on this platform's console, sound and window. Arguments
// are not read. A picture that cannot be loaded ends the show: the terminal is restored, the
// reason is said on standard error, and the exit status is 1.
#include "pixels/Bitmap.h"
#include "show/Sound.h"

#include <cstdio>

int main() {
    try {
        auto console = veloria::openConsole();
        auto clock = veloria::openClock();
        auto music = veloria::openMusic();
        auto surface = veloria::openWindowSurface();
        veloria::Platform platform{*console, *clock, *music, *surface};
        return veloria::runShow(platform);
    } catch (const veloria::PictureError& e) {
        std::fprintf(stderr, "veloria: %s\n", e.what());
        return 1;
    }
}
