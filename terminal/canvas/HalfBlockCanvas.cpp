#include "terminal/canvas/HalfBlockCanvas.h"

#include "terminal/canvas/Viewport.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace veloria {
namespace {

constexpr std::string_view UpperHalf = "\u2580";
// Marks a colour not known to be on the screen, so the cell is sent.
constexpr std::uint32_t Unknown = 0xFFFFFFFF;
constexpr std::uint32_t Black = 0;

constexpr std::array<int, 6> CubeLevels{0, 95, 135, 175, 215, 255};

int squaredDistance(int r, int g, int b, int r2, int g2, int b2) {
    return (r - r2) * (r - r2) + (g - g2) * (g - g2) + (b - b2) * (b - b2);
}

int nearestCubeStep(int value) {
    int best = 0;
    for (int i = 1; i < 6; ++i)
        if (std::abs(CubeLevels[i] - value) < std::abs(CubeLevels[best] - value)) best = i;
    return best;
}

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
        if (tx < 0 || ty < 0 || tx >= view_.target.width || ty >= view_.target.height) return Black;
        unsigned red = 2, green = 2, blue = 2; // rounds the mean of four to nearest
        for (int py : sampleY_[ty])
            for (int px : sampleX_[tx]) {
                ColorValue c = surface.at(px, py);
                red += redOf(c);
                green += greenOf(c);
                blue += blueOf(c);
            }
        ColorValue mean = rgb(red / 4, green / 4, blue / 4);
        return depth_ == ColourDepth::Palette256 ? nearestPaletteIndex(mean) : mean;
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

unsigned nearestPaletteIndex(ColorValue colour) {
    int r = static_cast<int>(redOf(colour));
    int g = static_cast<int>(greenOf(colour));
    int b = static_cast<int>(blueOf(colour));
    int cr = nearestCubeStep(r), cg = nearestCubeStep(g), cb = nearestCubeStep(b);
    int cubeDistance = squaredDistance(r, g, b, CubeLevels[cr], CubeLevels[cg], CubeLevels[cb]);
    // The grey ramp runs 8, 18, ..., 238.
    int greyStep = std::clamp(((r + g + b) / 3 - 8 + 5) / 10, 0, 23);
    int grey = 8 + 10 * greyStep;
    if (squaredDistance(r, g, b, grey, grey, grey) < cubeDistance)
        return 232 + static_cast<unsigned>(greyStep);
    return 16 + static_cast<unsigned>(36 * cr + 6 * cg + cb);
}

std::unique_ptr<TerminalCanvas> makeHalfBlockCanvas(ColourDepth depth) {
    return std::make_unique<HalfBlockCanvas>(depth);
}

} // namespace veloria
