// Shows the surface pixel for pixel through the kitty graphics protocol, each image placed at
// the same spot without moving the cursor or asking for replies. Where the terminal takes
// pictures from shared memory, every frame is the whole image in a new shared-memory object,
// which the terminal reads and removes, and only the object's name goes through the pty.
// Elsewhere the frames go zlib-compressed through the pty: after a whole image, a frame is an
// overlay of the pixels that changed, the rest of it transparent, stacked above the last;
// a whole image again at least once a second, or where it is the smaller. Whole images
// alternate between two ids, and what one covers is deleted only once it is shown, since a
// terminal drops an image as soon as a new one under its id starts to arrive, which would
// blink the picture. A frame identical to the last is not sent. The last image stays after
// the show, as a picture in the text.
#pragma once

#include "terminal/canvas/TerminalCanvas.h"

#include <memory>

namespace veloria {

// The ids under which the canvas keeps its whole images on the terminal, taken in turn.
inline constexpr unsigned KittyImageIds[2] = {31, 32};
// Overlays take the ids from this one up, starting again after each whole image.
inline constexpr unsigned FirstKittyOverlayId = 34;

enum class KittyTransfer { Compressed, SharedMemory };

std::unique_ptr<TerminalCanvas> makeKittyCanvas(KittyTransfer transfer);

} // namespace veloria
