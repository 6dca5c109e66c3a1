// The terminal's size, in cells and, where the terminal reports it, in pixels (0 if not), and
// the request for a size.
#pragma once

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

// The size with its pixels counted as the grid times the cell, where the cell's size is known:
// what the terminal really shows of the grid. Some terminals (Konsole) report the pixels of
// their whole window, which stays as it was when they take a smaller grid.
inline TerminalGeometry gridInPixels(TerminalGeometry size, std::optional<CellSize> cell) {
    if (cell && cell->width > 0 && cell->height > 0) {
        size.widthPixels = size.columns * cell->width;
        size.heightPixels = size.rows * cell->height;
    }
    return size;
}

} // namespace veloria
