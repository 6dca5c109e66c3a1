#include "pixels/terminal/Viewport.h"

#include <algorithm>
#include <cmath>

namespace veloria {
namespace {

constexpr int ConsoleColumns = 115;
constexpr int ConsoleRows = 51;
// The cell the console draws with, used where the terminal does not report its pixels.
constexpr int AssumedCellWidth = 10;
constexpr int AssumedCellHeight = 20;

bool isConsoleGrid(const TerminalGeometry& terminal) {
    return terminal.columns == ConsoleColumns && terminal.rows == ConsoleRows;
}

bool reportsPixels(const TerminalGeometry& terminal) {
    return terminal.widthPixels > 0 && terminal.heightPixels > 0;
}

// Scales source (square pixels) into at most availableWidth x availableHeight dots of
// dotWidth x dotHeight (any unit), in proportion, centred on the raster.
Rect fitCentred(const Rect& source, double dotWidth, double dotHeight, int availableWidth,
                int availableHeight, int rasterWidth, int rasterHeight) {
    double scale = std::min(availableWidth * dotWidth / source.width,
                            availableHeight * dotHeight / source.height);
    int width = std::clamp(static_cast<int>(std::lround(source.width * scale / dotWidth)), 1,
                           std::max(1, availableWidth));
    int height = std::clamp(static_cast<int>(std::lround(source.height * scale / dotHeight)), 1,
                            std::max(1, availableHeight));
    return {(rasterWidth - width) / 2, (rasterHeight - height) / 2, width, height};
}

} // namespace

Viewport halfCellViewport(const TerminalGeometry& terminal) {
    Viewport view;
    if (terminal.columns <= 0 || terminal.rows <= 0) return view;
    view.rasterWidth = terminal.columns;
    view.rasterHeight = terminal.rows * 2;
    view.cellWidth = 1;
    view.cellHeight = 2;
    if (isConsoleGrid(terminal)) {
        view.source = {0, 0, PixelSurface::Width, PixelSurface::Height};
        view.target = {0, 0, view.rasterWidth, view.rasterHeight};
        return view;
    }
    // A half cell is as wide as a cell and half as tall; square when the terminal's cells are
    // twice as tall as wide, which is what is assumed without a reported pixel size.
    double dotWidth = 1.0;
    double dotHeight = 1.0;
    if (reportsPixels(terminal)) {
        dotWidth = static_cast<double>(terminal.widthPixels) / terminal.columns;
        dotHeight = static_cast<double>(terminal.heightPixels) / terminal.rows / 2;
    }
    view.source = DrawingArea;
    view.target = fitCentred(DrawingArea, dotWidth, dotHeight, view.rasterWidth, view.rasterHeight,
                             view.rasterWidth, view.rasterHeight);
    return view;
}

Viewport pixelViewport(const TerminalGeometry& terminal, int maxWidth, int maxHeight) {
    Viewport view;
    if (terminal.columns <= 0 || terminal.rows <= 0) return view;
    if (reportsPixels(terminal)) {
        view.rasterWidth = terminal.widthPixels;
        view.rasterHeight = terminal.heightPixels;
    } else {
        view.rasterWidth = terminal.columns * AssumedCellWidth;
        view.rasterHeight = terminal.rows * AssumedCellHeight;
    }
    view.cellWidth = std::max(1, view.rasterWidth / terminal.columns);
    view.cellHeight = std::max(1, view.rasterHeight / terminal.rows);
    view.source = isConsoleGrid(terminal) ? Rect{0, 0, PixelSurface::Width, PixelSurface::Height}
                                          : DrawingArea;
    view.target =
        fitCentred(view.source, 1.0, 1.0, std::min(view.rasterWidth, maxWidth),
                   std::min(view.rasterHeight, maxHeight), view.rasterWidth, view.rasterHeight);
    return view;
}

std::vector<int> sourceEdges(int sourceStart, int sourceLength, int count) {
    std::vector<int> edges(static_cast<std::size_t>(count) + 1);
    for (int i = 0; i <= count; ++i)
        edges[i] = sourceStart + static_cast<int>(static_cast<long long>(i) * sourceLength / count);
    return edges;
}

} // namespace veloria
