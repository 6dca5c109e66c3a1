// Shows the surface pixel for pixel through the kitty graphics protocol: each frame replaces
// one image (the same id every time) with the frame's RGB, zlib-compressed, placed at the
// same spot without moving the cursor or asking for replies. A frame identical to the last is
// not sent; the farewell deletes the image.
#pragma once

#include "pixels/TerminalCanvas.h"

#include <memory>

namespace veloria {

// The id under which the canvas keeps its image on the terminal.
inline constexpr unsigned KittyImageId = 31;

std::unique_ptr<TerminalCanvas> makeKittyCanvas();

} // namespace veloria
