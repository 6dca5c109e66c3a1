// A console window a person can see, drawn on through GDI as fast as the calls go: it is not
// paced.
#pragma once

#include "pixels/WindowSurface.h"

#include <memory>

namespace veloria {

std::unique_ptr<WindowSurface> makeGdiWindowSurface();

} // namespace veloria
