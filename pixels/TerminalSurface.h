// The console window on a terminal: an in-memory surface of the window's client area, paced as
// a Windows console window paces its SetPixel calls, and shown on the terminal by a presenter
// thread through the best canvas the terminal answers for.
#pragma once

#include "pixels/PixelPace.h"
#include "pixels/WindowSurface.h"
#include "terminal/Terminal.h"

#include <memory>

namespace veloria {

std::unique_ptr<WindowSurface> makeTerminalSurface(std::shared_ptr<Terminal> terminal,
                                                   std::unique_ptr<PaceClock> paceClock);

} // namespace veloria
