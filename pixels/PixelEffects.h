// The gallery's two effects, drawn one SetPixel per dot or sample, with no pauses and no
// clipping of their own: a burst of random dots over the square drawing area, and a picture
// revealed by plotting randomly chosen pixels of its grid, centred in that area.
#pragma once

#include "pixels/PixelGrid.h"
#include "pixels/WindowSurface.h"

namespace veloria {

// The effects draw in the gallery window's drawing area (pixels/GalleryGeometry.h).

// count dots at random places of the area, each of a random colour whose channels are
// 0 ... 254. Draws five random numbers per dot: y, x, red, green, blue.
void noiseBurst(WindowSurface& surface, DeviceContext dc, int count);

// count samples of the h x w grid (rows bottom-up), each plotted at its place in the picture
// centred in the area. Draws two random numbers per sample: row, then column.
void revealPicture(WindowSurface& surface, const PixelGrid& grid, DeviceContext dc, int h, int w,
                   int count);

} // namespace veloria
