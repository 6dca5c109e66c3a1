// Where the pixel surface lands on a terminal. A viewport names the part of the surface that is
// shown and the rectangle of dots (half cells, or the terminal's pixels) it is scaled onto: the
// window's whole drawing area always, in proportion and centred, the rest of the raster black.
// On a terminal of exactly the window's grid, each cell shows the pixels of its own cell.
#pragma once

#include "terminal/canvas/TerminalCanvas.h"

#include <vector>

namespace veloria {

struct Viewport {
    int rasterWidth = 0;  // dots across the whole terminal
    int rasterHeight = 0; // dots down the whole terminal
    int cellWidth = 0;    // dots per cell across
    int cellHeight = 0;   // dots per cell down
    Rect source;          // surface pixels shown
    Rect target;          // dots they are scaled onto, inside the raster
};

// A raster of half cells (columns x 2 * rows), for character canvases.
Viewport halfCellViewport(const WindowLayout& window, const TerminalGeometry& terminal);

// A raster of the terminal's pixels (the window's own cell size assumed where the terminal does
// not tell) with the image no larger than maxWidth x maxHeight.
Viewport pixelViewport(const WindowLayout& window, const TerminalGeometry& terminal, int maxWidth,
                       int maxHeight);

// Splits sourceLength pixels from sourceStart evenly over count dots: entry i is the first
// pixel of dot i, entry count the end.
std::vector<int> sourceEdges(int sourceStart, int sourceLength, int count);

// The other way round, for dots that show the first pixel of their share (edges from
// sourceEdges): entry p, for p from 0 to surfaceLength, is the first dot whose first pixel is
// p or later, so the dots that show pixel p are those from entry p to entry p + 1.
std::vector<int> dotsOfPixels(const std::vector<int>& edges, int surfaceLength);

// The image dots that show each pixel of the surface, for a canvas that keeps an image of it
// and brings up to date only the dots showing pixels set since the last frame.
class SetPixelDots {
public:
    SetPixelDots() = default;
    // columnEdges and rowEdges from sourceEdges, the image's dots sampling the window's surface.
    SetPixelDots(const std::vector<int>& columnEdges, const std::vector<int>& rowEdges,
                 const WindowLayout& window)
        : columns_(dotsOfPixels(columnEdges, window.width())),
          rows_(dotsOfPixels(rowEdges, window.height())) {}

    // Takes the pixels set on the surface since they were last taken, and calls
    // visit(x, y, colour) for each image dot that shows one.
    template <typename Visit> void take(const PixelSurface& surface, Visit&& visit) const {
        auto surfaceWidth = static_cast<std::size_t>(surface.width());
        surface.takeSetPixels([&](std::size_t at) {
            int sx = static_cast<int>(at % surfaceWidth);
            int sy = static_cast<int>(at / surfaceWidth);
            ColorValue colour = surface.at(sx, sy);
            for (int y = rows_[sy]; y < rows_[sy + 1]; ++y)
                for (int x = columns_[sx]; x < columns_[sx + 1]; ++x) visit(x, y, colour);
        });
    }

private:
    std::vector<int> columns_; // the dots showing surface column p: from entry p to entry p + 1
    std::vector<int> rows_;
};

} // namespace veloria
