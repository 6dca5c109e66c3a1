// One way of showing the pixel surface on a terminal (character cells with colours, sixel or
// kitty graphics). A canvas turns the surface into the bytes of one frame, scaled so that the
// whole drawing area fits the terminal in proportion. It remembers what it last sent, so it
// may send only what changed.
#pragma once

#include "terminal/PixelSurface.h"
#include "terminal/TerminalGeometry.h"

#include <memory>
#include <string>
#include <string_view>

namespace veloria {

class TerminalCanvas {
public:
    virtual ~TerminalCanvas() = default;
    // Appends to out the bytes that bring the terminal's screen up to date with the surface.
    virtual void encodeFrame(const PixelSurface& surface, const TerminalGeometry& terminal,
                             std::string& out) = 0;
    // Forgets what was sent: the next frame is sent whole (after a resize, or when the
    // screen may have been disturbed).
    virtual void invalidate() = 0;
};

// Bytes that put the cursor on a fresh line below anything a canvas drew (the last row, then
// a new line, which moves the picture up one), so that what comes after the show starts
// there rather than over the last picture.
inline constexpr std::string_view BelowThePicture = "\x1b[999;1H\n";

} // namespace veloria
