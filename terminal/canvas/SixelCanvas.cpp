#include "terminal/canvas/SixelCanvas.h"

#include "terminal/canvas/OrderedDither.h"
#include "terminal/canvas/SixelData.h"
#include "terminal/canvas/SixelWholeImage.h"
#include "terminal/canvas/Viewport.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace veloria {
namespace {

// Frames from one whole image to the next, at most: half a second at 30 frames a second.
constexpr int WholeImageEvery = 15;

// For each Bayer threshold and channel value, the channel's level times its palette stride:
// the palette index is the sum over the three channels.
struct DitherTable {
    std::array<std::array<std::uint8_t, 256>, 64> red{}, green{}, blue{};
};

DitherTable makeDitherTable() {
    DitherTable table;
    for (int t = 0; t < 64; ++t) {
        // A threshold in [0, 255): a value between two levels rounds up for that share of the
        // 64 positions of the pattern.
        int threshold = (t * 255 + 32) / 64;
        for (int v = 0; v < 256; ++v) {
            auto level = [&](int levels) { return (v * (levels - 1) + threshold) / 255; };
            table.red[t][v] = static_cast<std::uint8_t>(level(SixelRedLevels) * SixelGreenLevels *
                                                        SixelBlueLevels);
            table.green[t][v] =
                static_cast<std::uint8_t>(level(SixelGreenLevels) * SixelBlueLevels);
            table.blue[t][v] = static_cast<std::uint8_t>(level(SixelBlueLevels));
        }
    }
    return table;
}

const DitherTable& ditherTable() {
    static const DitherTable table = makeDitherTable();
    return table;
}

class SixelCanvas final : public TerminalCanvas {
public:
    SixelCanvas(GraphicsLimit limit, SixelFrames frames) : limit_(limit), frames_(frames) {}

    void encodeFrame(const PixelSurface& surface, const TerminalGeometry& terminal,
                     std::string& out) override {
        if (terminal != geometry_) layOut(surface.layout(), terminal);
        if (view_.target.width <= 0 || view_.target.height <= 0) return;
        if (dithered_) {
            ditherSetPixels(surface);
        } else {
            ditherAll(surface);
            dithered_ = true;
        }
        if (shown_ && changed_.empty()) return;
        std::size_t start = out.size();
        if (!shown_) out += "\x1b[0;40m\x1b[2J\x1b[0m"; // black around the image
        bool whole = !shown_ || frames_ == SixelFrames::Whole || overlays_ + 1 >= WholeImageEvery;
        overlays_ = whole ? 0 : overlays_ + 1;
        shown_ = true;
        if (whole) {
            std::size_t imageStart = out.size();
            appendPosition(out);
            whole_.append(out);
            wholeSize_ = out.size() - imageStart;
            return;
        }
        appendPosition(out);
        appendOverlay(out);
        // Where much of the picture changed a whole image may be the smaller: then both are
        // made, and the smaller is sent.
        std::size_t overlay = out.size() - start;
        if (overlay > wholeSize_ / 8) {
            image_.clear();
            appendPosition(image_);
            whole_.append(image_);
            wholeSize_ = image_.size();
            if (image_.size() < overlay) {
                out.replace(start, overlay, image_);
                overlays_ = 0;
            }
        }
    }

    void invalidate() override {
        shown_ = false;
        dithered_ = false;
    }

private:
    void layOut(const WindowLayout& window, const TerminalGeometry& terminal) {
        geometry_ = terminal;
        shown_ = false;
        dithered_ = false;
        // The image leaves the last two rows free (after an image the cursor goes below it,
        // and reaching past the last row would scroll the screen) and is padded to whole
        // bands of six rows.
        Viewport screen = pixelViewport(window, terminal, limit_.width, limit_.height);
        int bottom = (terminal.rows - 2) * screen.cellHeight;
        int fitting = std::min(limit_.height, bottom) / SixelBandHeight * SixelBandHeight;
        view_ = pixelViewport(window, terminal, limit_.width, fitting);
        if (view_.target.width <= 0 || view_.target.height <= 0 || fitting < SixelBandHeight) {
            view_.target = Rect{};
            return;
        }
        columns_ = sourceEdges(view_.source.x, view_.source.width, view_.target.width);
        rows_ = sourceEdges(view_.source.y, view_.source.height, view_.target.height);
        setPixelDots_ = SetPixelDots(columns_, rows_, window);
        paddedHeight_ =
            (view_.target.height + SixelBandHeight - 1) / SixelBandHeight * SixelBandHeight;
        // Sixels start at a cell's top: the row nearest the centre that still ends in time.
        int lastRow = (bottom - paddedHeight_) / view_.cellHeight;
        imageRow_ = std::min(view_.target.y / view_.cellHeight, lastRow);
        indices_.assign(static_cast<std::size_t>(view_.target.width) * paddedHeight_, 0);
    }

    // The palette index of the image pixel (x, y) in colour c.
    static std::uint8_t ditherIndex(ColorValue c, int x, int y) {
        const DitherTable& table = ditherTable();
        int t = Bayer[y & 7][x & 7];
        return static_cast<std::uint8_t>(table.red[t][redOf(c)] + table.green[t][greenOf(c)] +
                                         table.blue[t][blueOf(c)]);
    }

    // Dithers the whole frame.
    void ditherAll(const PixelSurface& surface) {
        // What is set from now on is looked at next frame.
        surface.takeSetPixels([](std::size_t) {});
        changed_.clear();
        int width = view_.target.width;
        for (int y = 0; y < view_.target.height; ++y) {
            int row = rows_[y];
            std::uint8_t* to = &indices_[static_cast<std::size_t>(y) * width];
            for (int x = 0; x < width; ++x) to[x] = ditherIndex(surface.at(columns_[x], row), x, y);
        }
        whole_.reset(indices_, width, paddedHeight_);
    }

    // Dithers again the image pixels that show pixels set since the last frame, noting those
    // whose index changed, in order.
    void ditherSetPixels(const PixelSurface& surface) {
        changed_.clear();
        int width = view_.target.width;
        setPixelDots_.take(surface, [&](int x, int y, ColorValue c) {
            std::size_t to = static_cast<std::size_t>(y) * width + x;
            std::uint8_t index = ditherIndex(c, x, y);
            if (indices_[to] == index) return;
            whole_.change(to, indices_[to], index);
            indices_[to] = index;
            changed_.push_back(static_cast<std::uint32_t>(to));
        });
        // A pixel shown by several image rows adds changes out of order.
        std::sort(changed_.begin(), changed_.end());
    }

    void appendPosition(std::string& out) const {
        out += "\x1b[";
        appendNumber(out, imageRow_ + 1);
        out += ';';
        appendNumber(out, view_.target.x / view_.cellWidth + 1);
        out += 'H';
    }

    // Only the pixels that differ from the image on the screen: pixels left out are
    // transparent, so the screen keeps them as they are.
    void appendOverlay(std::string& out) {
        int width = view_.target.width;
        std::array<bool, SixelPaletteSize> used{};
        for (std::uint32_t at : changed_) used[indices_[at]] = true;
        appendSixelStart(out, width, paddedHeight_, used);
        // Bands with nothing to draw are skipped with a new line; none after the last drawn.
        int skipped = 0;
        std::size_t nextChange = 0;
        for (int top = 0; top < paddedHeight_; top += SixelBandHeight) {
            std::size_t bandEnd = static_cast<std::size_t>(top + SixelBandHeight) * width;
            std::size_t first = nextChange;
            while (nextChange < changed_.size() && changed_[nextChange] < bandEnd) ++nextChange;
            if (first == nextChange) {
                ++skipped;
                continue;
            }
            gatherChanges(top, width, first, nextChange);
            out.append(static_cast<std::size_t>(skipped), '-');
            skipped = 0;
            bool firstColour = true;
            for (int colour = 0; colour < SixelPaletteSize; ++colour) {
                const std::vector<SixelColumn>& columns = bands_[colour];
                if (columns.empty()) continue;
                if (!firstColour) out += '$';
                firstColour = false;
                out += '#';
                appendNumber(out, colour);
                appendSixelColumns(out, columns);
            }
            out += '-';
        }
        out += "\x1b\\";
    }

    // Sorts the band's changed pixels (changed_[first, end)) by colour, column by column.
    void gatherChanges(int top, int width, std::size_t first, std::size_t end) {
        for (auto& columns : bands_) columns.clear();
        // In the order of their columns, then rows.
        byColumn_.clear();
        for (std::size_t i = first; i < end; ++i) {
            std::uint32_t at = changed_[i];
            int x = static_cast<int>(at % static_cast<std::uint32_t>(width));
            int row = static_cast<int>(at / static_cast<std::uint32_t>(width)) - top;
            byColumn_.push_back(static_cast<std::uint32_t>(x) << 3 |
                                static_cast<std::uint32_t>(row));
        }
        std::sort(byColumn_.begin(), byColumn_.end());
        std::array<std::uint8_t, SixelPaletteSize> bits{};
        for (std::size_t i = 0; i < byColumn_.size();) {
            int x = static_cast<int>(byColumn_[i] >> 3);
            std::array<std::uint8_t, SixelBandHeight> present;
            int count = 0;
            for (; i < byColumn_.size() && static_cast<int>(byColumn_[i] >> 3) == x; ++i) {
                int r = static_cast<int>(byColumn_[i] & 7);
                std::uint8_t colour = indices_[static_cast<std::size_t>(top + r) * width + x];
                if (bits[colour] == 0) present[count++] = colour;
                bits[colour] |= static_cast<std::uint8_t>(1 << r);
            }
            for (int k = 0; k < count; ++k) {
                bands_[present[k]].push_back({x, bits[present[k]]});
                bits[present[k]] = 0;
            }
        }
    }

    GraphicsLimit limit_;
    SixelFrames frames_;
    int overlays_ = 0;      // overlays sent since the last whole image
    bool dithered_ = false; // indices_ hold the surface as laid out
    bool shown_ = false;    // the screen shows indices_
    TerminalGeometry geometry_;
    Viewport view_;
    std::vector<int> columns_;
    std::vector<int> rows_;
    SetPixelDots setPixelDots_;
    int paddedHeight_ = 0;
    int imageRow_ = 0;
    std::vector<std::uint8_t> indices_;   // palette index per image pixel, padding rows black
    std::vector<std::uint32_t> changed_;  // the image pixels this frame changed, in order
    std::vector<std::uint32_t> byColumn_; // a band's changes as column << 3 | row
    std::size_t wholeSize_ = 0;           // the bytes of the last whole image made
    std::string image_;                   // a whole image, made to compare with an overlay
    std::array<std::vector<SixelColumn>, SixelPaletteSize> bands_; // an overlay's band by colour
    SixelWholeImage whole_;
};

} // namespace

std::unique_ptr<TerminalCanvas> makeSixelCanvas(GraphicsLimit limit, SixelFrames frames) {
    return std::make_unique<SixelCanvas>(limit, frames);
}

} // namespace veloria
