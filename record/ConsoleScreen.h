// The text of a Windows console as cells: a Windows-1251 byte and a colour attribute each,
// written as the console writes text from the C runtime, sized as `mode con` sizes it and
// coloured as `color` colours it. Every change is stamped, so that whoever draws the screen
// can repaint only the cells that changed since it last drew.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace veloria {

struct ConsoleCell {
    unsigned char byte = ' ';
    // Background in the high nibble, text in the low one, in the 16-colour console palette.
    unsigned char attribute = 0x07;
    bool operator==(const ConsoleCell&) const = default;
};

struct CellPosition {
    int column = 0;
    int line = 0;
    bool operator==(const CellPosition&) const = default;
};

class ConsoleScreen {
public:
    // Blank cells in light grey on black (0x07), the cursor at the top left.
    ConsoleScreen(int columns, int lines);

    // A new size (both at least 1): every cell blank in the current attribute, the cursor at
    // the top left.
    void resize(int columns, int lines);
    // Gives every cell, and all text written later, this attribute.
    void setColors(unsigned attribute);
    // Writes Windows-1251 bytes at the cursor. '\n' goes to the start of the next line, '\r'
    // to the start of this one; other bytes below 0x20 are ignored. A character written into
    // the last column leaves the cursor there and the next character starts the next line,
    // so a line exactly as wide as the console followed by '\n' takes one line. Going down
    // from the last line scrolls the screen up by one, with a blank line at the bottom.
    void write(std::string_view bytes);

    int columns() const { return columns_; }
    int lines() const { return lines_; }
    // The cell at a position on the screen.
    ConsoleCell cell(int column, int line) const { return cells_[index(column, line)]; }
    // Where the cursor is shown.
    CellPosition cursor() const { return cursor_; }

    // Each change of cells advances the generation; a cell's generation is the one in which it
    // last changed. What was drawn at generation g is stale where a cell's is later than g.
    std::uint64_t generation() const { return generation_; }
    std::uint64_t cellGeneration(int column, int line) const {
        return stamps_[index(column, line)];
    }

private:
    std::size_t index(int column, int line) const {
        return static_cast<std::size_t>(line) * static_cast<std::size_t>(columns_) +
               static_cast<std::size_t>(column);
    }
    void lineFeed();
    void stampAll();

    int columns_ = 0;
    int lines_ = 0;
    unsigned char attribute_ = 0x07;
    std::vector<ConsoleCell> cells_;
    std::vector<std::uint64_t> stamps_;
    CellPosition cursor_;
    // A character went into the last column; the next one starts the next line.
    bool wrapPending_ = false;
    std::uint64_t generation_ = 0;
};

} // namespace veloria
