// The program's entry: runs the show on this platform's console. Arguments are not read.
#include "show/Sound.h"

int main() {
    auto console = veloria::openConsole();
    auto clock = veloria::openClock();
    auto music = veloria::openMusic();
    veloria::Platform platform{*console, *clock, *music};
    return veloria::runShow(platform);
}
