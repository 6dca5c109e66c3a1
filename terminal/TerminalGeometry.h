// The terminal's size, in cells and, where the terminal reports it, in pixels (0 if not), and
// the request for a size.
#pragma once

#include <algorithm>
#include <optional>
#include <string>

namespace veloria {

struct TerminalGeometry {
    int columns = 0;
    int rows = 0;
    int widthPixels = 0;
    int heightPixels = 0;
    bool operator==(const TerminalGeometry&) const = default;
};

// Asks the terminal to take a size in cells; many ignore it.
inline std::string sizeRequest(int columns, int rows) {
    return "\x1b[8;" + std::to_string(rows) + ";" + std::to_string(columns) + "t";
}

// The pixels of one character cell, as the terminal reported them.
struct CellSize {
    int width = 0;
    int height = 0;
};

// What the terminal really shows of its grid, where the cell's size is known: the cells that
// fit its window, and their pixels. Konsole takes any grid asked for but keeps its window, and
// reports the window's pixels: a larger window shows the grid and an empty margin, a smaller
// one only the cells that fit.
inline TerminalGeometry gridInPixels(TerminalGeometry size, std::optional<CellSize> cell) {
    if (!cell || cell->width <= 0 || cell->height <= 0) return size;
    if (size.widthPixels > 0 && size.heightPixels > 0) {
        size.columns = std::clamp(size.widthPixels / cell->width, 1, size.columns);
        size.rows = std::clamp(size.heightPixels / cell->height, 1, size.rows);
    }
    size.widthPixels = size.columns * cell->width;
    size.heightPixels = size.rows * cell->height;
    return size;
}

} // namespace veloria
