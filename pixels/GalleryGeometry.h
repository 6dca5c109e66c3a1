// The console window the gallery paints on, and how fast it is painted where the platform
// sets the pace. Everything that sizes, places or times the gallery takes it from here.
#pragma once

#include "terminal/PixelSurface.h"

namespace veloria {

// 115 x 51 cells of 10 x 20 pixels (1150 x 1020), with the square the pictures are drawn in.
inline constexpr WindowLayout GalleryWindow{115, 51, 10, 20, Rect{5, 5, 1010, 1010}};

// The pace of the pixel calls where the platform paces them (a terminal): a Windows console
// window's own speed, at which the gallery's 30.5 million calls end about three seconds
// before the track.
inline constexpr double PixelCallsPerSecond = 130000;

} // namespace veloria
