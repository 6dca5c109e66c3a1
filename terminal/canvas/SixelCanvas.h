// Shows the surface as sixel images, pixel for pixel where the terminal is large enough:
// colours are dithered (8 x 8 ordered) onto a fixed palette of 6 x 7 x 6 levels, so a frame
// costs no colour search and a colour's register never changes. The image stays within the
// terminal's graphics limit and clear of the screen's last two rows, so the screen never
// scrolls. The first frame (and the first after a resize or a disturbance) is the whole image;
// after it a frame is an overlay of only the pixels that changed, their background left
// transparent, drawn at the same place, unless a whole image would be smaller. A terminal
// keeps each image it was sent and draws them all again, in order, when it repaints (after a
// scroll, or when uncovered): a whole image every half second keeps that pile short and the
// repaint right. A frame identical to the last is not sent.
#pragma once

#include "terminal/TerminalReplies.h"
#include "terminal/canvas/TerminalCanvas.h"

#include <memory>

namespace veloria {

// Whether a frame may be an overlay of what changed, or is always the whole image (for a
// terminal that paints a sixel image's transparent background).
enum class SixelFrames { Overlays, Whole };

std::unique_ptr<TerminalCanvas> makeSixelCanvas(GraphicsLimit limit, SixelFrames frames);

} // namespace veloria
