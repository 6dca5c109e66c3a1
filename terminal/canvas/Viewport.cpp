#include "terminal/canvas/Viewport.h"

#include <algorithm>
#include <cmath>

namespace veloria {
namespace {

bool isWindowGrid(const WindowLayout& window, const TerminalGeometry& terminal) {
    return terminal.columns == window.columns && terminal.rows == window.rows;
}

Rect wholeWindow(const WindowLayout& window) {
    return {0, 0, window.width(), window.height()};
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

Viewport halfCellViewport(const WindowLayout& window, const TerminalGeometry& terminal) {
    Viewport view;
    if (terminal.columns <= 0 || terminal.rows <= 0) return view;
    view.rasterWidth = terminal.columns;
    view.rasterHeight = terminal.rows * 2;
    view.cellWidth = 1;
    view.cellHeight = 2;
    if (isWindowGrid(window, terminal)) {
        view.source = wholeWindow(window);
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
    view.source = window.drawingArea;
    view.target = fitCentred(view.source, dotWidth, dotHeight, view.rasterWidth, view.rasterHeight,
                             view.rasterWidth, view.rasterHeight);
    return view;
}

Viewport pixelViewport(const WindowLayout& window, const TerminalGeometry& terminal, int maxWidth,
                       int maxHeight) {
    Viewport view;
    if (terminal.columns <= 0 || terminal.rows <= 0) return view;
    if (reportsPixels(terminal)) {
        view.rasterWidth = terminal.widthPixels;
        view.rasterHeight = terminal.heightPixels;
    } else {
        view.rasterWidth = terminal.columns * window.cellWidth;
        view.rasterHeight = terminal.rows * window.cellHeight;
    }
    view.cellWidth = std::max(1, view.rasterWidth / terminal.columns);
    view.cellHeight = std::max(1, view.rasterHeight / terminal.rows);
    view.source = isWindowGrid(window, terminal) ? wholeWindow(window) : window.drawingArea;
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

std::vector<int> dotsOfPixels(const std::vector<int>& edges, int surfaceLength) {
    int count = static_cast<int>(edges.size()) - 1;
    std::vector<int> first(static_cast<std::size_t>(surfaceLength) + 1);
    int dot = 0;
    for (int p = 0; p <= surfaceLength; ++p) {
        while (dot < count && edges[dot] < p) ++dot;
        first[p] = dot;
    }
    return first;
}

} // namespace veloria
