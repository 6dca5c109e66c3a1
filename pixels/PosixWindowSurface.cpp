#include "pixels/TerminalSurface.h"

namespace veloria {

// A POSIX console is a terminal: the window is the terminal's pixel surface.
std::unique_ptr<WindowSurface> openWindowSurface(int clockSpeedup) {
    return makeTerminalSurface(standardTerminal(), openPaceClock(clockSpeedup));
}

} // namespace veloria
