#include "terminal/canvas/HalfBlockCanvas.h"

#include "terminal/canvas/Palette256.h"
#include "terminal/canvas/Viewport.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <vector>

namespace veloria {
namespace {

constexpr std::string_view UpperHalf = "\u2580";
// Marks a colour not known to be on the screen, so the cell is sent.
constexpr std::uint32_t Unknown = 0xFFFFFFFF;
constexpr std::uint32_t Black = 0;

void appendNumber(std::string& out, unsigned value) {
    char digits[10];
    auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end);
}

// A cell as shown: the colours of its upper and lower halves (RGB, or a palette index).
struct Cell {
    std::uint32_t upper = Unknown;
    std::uint32_t lower = Unknown;
    bool operator==(const Cell&) const = default;
};

class HalfBlockCanvas final : public TerminalCanvas {
public:
    explicit HalfBlockCanvas(ColourDepth depth) : depth_(depth) {}

    void encodeFrame(const PixelSurface& surface, const TerminalGeometry& terminal,
                     std::string& out) override {
        if (terminal != geometry_) layOut(surface.layout(), terminal);
        if (terminal.columns <= 0 || terminal.rows <= 0) return;
        std::size_t start = out.size();
        // Nothing is assumed about the cursor or the colours left by whatever came before.
        cursorRow_ = -1;
        foreground_ = background_ = Unknown;
        for (int row = 0; row < terminal.rows; ++row)
            for (int column = 0; column < terminal.columns; ++column) {
                Cell now{dotColour(surface, column, 2 * row),
                         dotColour(surface, column, 2 * row + 1)};
                Cell& shown = shown_[static_cast<std::size_t>(row) * terminal.columns + column];
                if (now == shown) continue;
                shown = now;
                writeCell(out, row, column, now);
            }
        if (out.size() != start) out += "\x1b[0m";
    }

    void invalidate() override {
        for (Cell& cell : shown_) cell = Cell{};
    }

private:
    void layOut(const WindowLayout& window, const TerminalGeometry& terminal) {
        geometry_ = terminal;
        view_ = halfCellViewport(window, terminal);
        shown_.assign(static_cast<std::size_t>(std::max(0, terminal.columns)) *
                          std::max(0, terminal.rows),
                      Cell{});
        sampleX_.clear();
        sampleY_.clear();
        if (view_.target.width <= 0 || view_.target.height <= 0) return;
        // Each dot is sampled at a quarter and three quarters of its extent, both ways.
        auto samples = [](const std::vector<int>& edges, std::vector<std::array<int, 2>>& at) {
            for (std::size_t i = 0; i + 1 < edges.size(); ++i) {
                int length = edges[i + 1] - edges[i];
                at.push_back({edges[i] + length / 4, edges[i] + (3 * length) / 4});
            }
        };
        samples(sourceEdges(view_.source.x, view_.source.width, view_.target.width), sampleX_);
        samples(sourceEdges(view_.source.y, view_.source.height, view_.target.height), sampleY_);
    }

    std::uint32_t dotColour(const PixelSurface& surface, int x, int y) const {
        int tx = x - view_.target.x;
        int ty = y - view_.target.y;
        if (tx < 0 || ty < 0 || tx >= view_.target.width || ty >= view_.target.height)
            return shown(Black, x, y);
        unsigned red = 2, green = 2, blue = 2; // rounds the mean of four to nearest
        for (int py : sampleY_[ty])
            for (int px : sampleX_[tx]) {
                ColorValue c = surface.at(px, py);
                red += redOf(c);
                green += greenOf(c);
                blue += blueOf(c);
            }
        return shown(rgb(red / 4, green / 4, blue / 4), x, y);
    }

    // The colour as sent: itself, or a palette entry (black as the palette's own, not as the
    // first of the 16 colours the user sets).
    std::uint32_t shown(ColorValue colour, int x, int y) const {
        return depth_ == ColourDepth::Palette256 ? paletteIndexAt(colour, x, y) : colour;
    }

    void writeCell(std::string& out, int row, int column, const Cell& cell) {
        if (row != cursorRow_ || column < cursorColumn_) {
            out += "\x1b[";
            appendNumber(out, row + 1);
            out += ';';
            appendNumber(out, column + 1);
            out += 'H';
        } else if (column > cursorColumn_) {
            out += "\x1b[";
            if (column - cursorColumn_ > 1) appendNumber(out, column - cursorColumn_);
            out += 'C';
        }
        // A cell of one colour is a blank on that background, whatever the foreground.
        bool blank = cell.upper == cell.lower;
        bool setForeground = !blank && cell.upper != foreground_;
        bool setBackground = cell.lower != background_;
        if (setForeground || setBackground) {
            out += "\x1b[";
            if (setForeground) appendColour(out, 38, cell.upper);
            if (setForeground && setBackground) out += ';';
            if (setBackground) appendColour(out, 48, cell.lower);
            out += 'm';
        }
        if (setForeground) foreground_ = cell.upper;
        background_ = cell.lower;
        out += blank ? std::string_view(" ") : UpperHalf;
        // After the last column the next cell is on another row, which always takes a move.
        cursorRow_ = row;
        cursorColumn_ = column + 1;
    }

    void appendColour(std::string& out, unsigned selector, std::uint32_t colour) const {
        appendNumber(out, selector);
        if (depth_ == ColourDepth::Palette256) {
            out += ";5;";
            appendNumber(out, colour);
            return;
        }
        out += ";2;";
        appendNumber(out, redOf(colour));
        out += ';';
        appendNumber(out, greenOf(colour));
        out += ';';
        appendNumber(out, blueOf(colour));
    }

    ColourDepth depth_;
    TerminalGeometry geometry_;
    Viewport view_;
    std::vector<std::array<int, 2>> sampleX_;
    std::vector<std::array<int, 2>> sampleY_;
    std::vector<Cell> shown_;
    int cursorRow_ = -1;
    int cursorColumn_ = 0;
    std::uint32_t foreground_ = Unknown;
    std::uint32_t background_ = Unknown;
};

} // namespace

std::unique_ptr<TerminalCanvas> makeHalfBlockCanvas(ColourDepth depth) {
    return std::make_unique<HalfBlockCanvas>(depth);
}

} // namespace veloria
