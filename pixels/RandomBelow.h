// The show's random numbers: one unseeded sequence, the same on every platform, compiler and
// run, so that every build shows the same show.
#pragma once

namespace veloria {

// A uniformly drawn integer in [0, n - 1]: the generator's 31-bit output modulo n. n = 0
// yields 0 and draws nothing.
unsigned randomBelow(unsigned n);

// Starts the sequence again from its beginning, as a fresh run of the program would.
void restartRandom();

} // namespace veloria
