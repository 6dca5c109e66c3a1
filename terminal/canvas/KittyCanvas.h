// Shows the surface pixel for pixel through the kitty graphics protocol: each frame is one
// image of the frame's RGB, placed at the same spot without moving the cursor or asking for
// replies. Where the terminal takes pictures from shared memory the pixels go through a new
// shared-memory object per frame, which the terminal reads and removes, and only the
// object's name through the pty; else they go zlib-compressed through the pty. Frames alternate between two image ids and the last frame's image is
// deleted only once the new one is shown, since a terminal drops an image as soon as a new
// one under its id starts to arrive, which would blink the picture. A frame identical to the
// last is not sent. The last frame's image stays after the show, as a picture in the text.
#pragma once

#include "terminal/canvas/TerminalCanvas.h"

#include <memory>

namespace veloria {

// The ids under which the canvas keeps its images on the terminal, taken in turn.
inline constexpr unsigned KittyImageIds[2] = {31, 32};

enum class KittyTransfer { Compressed, SharedMemory };

std::unique_ptr<TerminalCanvas> makeKittyCanvas(KittyTransfer transfer);

} // namespace veloria
