#include "pixels/PixelEffects.h"

#include "pixels/GalleryGeometry.h"
#include "pixels/RandomBelow.h"

namespace veloria {
namespace {

constexpr int AreaLeft = GalleryWindow.drawingArea.x;
constexpr int AreaTop = GalleryWindow.drawingArea.y;
constexpr int AreaWidth = GalleryWindow.drawingArea.width;
constexpr int AreaHeight = GalleryWindow.drawingArea.height;

} // namespace

void noiseBurst(WindowSurface& surface, DeviceContext dc, int count) {
    for (int i = 0; i < count; ++i) {
        int dy = static_cast<int>(randomBelow(AreaHeight));
        int dx = static_cast<int>(randomBelow(AreaWidth));
        unsigned red = randomBelow(255);
        unsigned green = randomBelow(255);
        unsigned blue = randomBelow(255);
        surface.SetPixel(dc, AreaLeft + dx, AreaTop + dy, red | green << 8 | blue << 16);
    }
}

void revealPicture(WindowSurface& surface, const PixelGrid& grid, DeviceContext dc, int h, int w,
                   int count) {
    if (h <= 0 || w <= 0) return; // an empty picture has no pixel to sample
    int offX = (AreaWidth - w) / 2;
    int offY = (AreaHeight - h) / 2;
    for (int i = 0; i < count; ++i) {
        int r = static_cast<int>(randomBelow(static_cast<unsigned>(h)));
        int c = static_cast<int>(randomBelow(static_cast<unsigned>(w)));
        // Grid row r is picture line h - 1 - r, so row 0 lands on the picture's lowest line.
        surface.SetPixel(dc, AreaLeft + offX + c, AreaTop + offY + h - r, grid[r][c]);
    }
}

} // namespace veloria
