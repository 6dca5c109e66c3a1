#include "record/VideoWindowSurface.h"

#include "pixels/GalleryGeometry.h"

namespace veloria {

VideoWindowSurface::VideoWindowSurface(DesktopPicture& picture, PaceClock& clock)
    : picture_(picture), clock_(clock), pace_(PixelCallsPerSecond, clock) {}

WindowHandle VideoWindowSurface::GetConsoleWindow() {
    if (!windowTaken_) windowTaken_ = clock_.now();
    return &picture_;
}

} // namespace veloria
