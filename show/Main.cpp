// The program's entry: runs the show on this platform's console. Arguments are not read.
#include "show/Sound.h"

int main() {
    auto console = veloria::openConsole();
    auto clock = veloria::openClock();
    veloria::Platform platform{*console, *clock};
    return veloria::runShow(platform);
}
