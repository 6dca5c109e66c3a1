// Shows the surface as one sixel image per frame, pixel for pixel where the terminal is large
// enough: colours are dithered (8 x 8 ordered) onto a fixed palette of 6 x 7 x 6 levels, so a
// frame costs no colour search. The image stays within the terminal's graphics limit and a
// clear of the screen's last two rows, so the screen never scrolls; every frame is drawn at the
// same place, and a frame identical to the last is not sent.
#pragma once

#include "terminal/TerminalReplies.h"
#include "terminal/canvas/TerminalCanvas.h"

#include <memory>

namespace veloria {

std::unique_ptr<TerminalCanvas> makeSixelCanvas(GraphicsLimit limit);

} // namespace veloria
