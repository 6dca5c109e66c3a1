#include "pixels/RandomBelow.h"

#include <random>

namespace veloria {
namespace {

// The minimal standard generator: the C++ standard fixes its every output, unlike the C
// runtime's rand(), which differs between platforms.
std::minstd_rand generator;

} // namespace

unsigned randomBelow(unsigned n) {
    if (n == 0) return 0;
    return static_cast<unsigned>(generator() % n);
}

void restartRandom() {
    generator.seed();
}

} // namespace veloria
