// The terminal's size, in cells and, where the terminal reports it, in pixels (0 if not).
#pragma once

namespace veloria {

struct TerminalGeometry {
    int columns = 0;
    int rows = 0;
    int widthPixels = 0;
    int heightPixels = 0;
    bool operator==(const TerminalGeometry&) const = default;
};

} // namespace veloria
