// Makes the canvas that a choice names; none for a terminal that is not drawn on.
#pragma once

#include "terminal/TerminalDescription.h"
#include "terminal/canvas/TerminalCanvas.h"

#include <memory>

namespace veloria {

std::unique_ptr<TerminalCanvas> makeCanvas(const CanvasChoice& choice);

} // namespace veloria
