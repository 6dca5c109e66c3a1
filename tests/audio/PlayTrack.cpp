// Starts the program's track through the program's own player, says how long the start took,
// and lets it play for the given number of seconds. Used by the audio tests.
#include "media/Music.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

int main(int argc, char** argv) {
    double seconds = argc > 1 ? std::atof(argv[1]) : 5.0;
    auto music = veloria::openMusic();
    auto before = std::chrono::steady_clock::now();
    music->play("VELORIA");
    std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - before;
    std::fprintf(stderr, "start took %.3f ms\n", took.count());
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    return 0;
}
