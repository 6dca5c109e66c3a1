// Runs the show on this machine's console, clock, sound and window, with the clocks `speedup`
// times faster than real time (1 for the show). A picture that cannot be loaded ends the show:
// the terminal is restored, the reason is said on standard error, and the status is 1.
#pragma once

namespace veloria {

int runOnThisMachine(int speedup);

} // namespace veloria
