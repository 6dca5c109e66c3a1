#include "terminal/canvas/SixelWholeImage.h"

#include <algorithm>

namespace veloria {
namespace {

auto columnAt(std::vector<SixelColumn>& columns, int x) {
    return std::lower_bound(columns.begin(), columns.end(), x,
                            [](const SixelColumn& c, int at) { return c.x < at; });
}

} // namespace

void SixelWholeImage::reset(const std::vector<std::uint8_t>& indices, int width, int height) {
    width_ = width;
    height_ = height;
    bands_.resize(static_cast<std::size_t>(height / SixelBandHeight));
    pixels_.fill(0);
    for (std::size_t band = 0; band < bands_.size(); ++band) {
        Band& passes = bands_[band];
        for (Pass& pass : passes) {
            pass.columns.clear();
            pass.stale = true;
        }
        std::size_t top = band * SixelBandHeight;
        for (int x = 0; x < width; ++x) {
            for (int r = 0; r < SixelBandHeight; ++r) {
                std::uint8_t colour = indices[(top + static_cast<std::size_t>(r)) * width + x];
                ++pixels_[colour];
                std::vector<SixelColumn>& columns = passes[colour].columns;
                auto bit = static_cast<std::uint8_t>(1 << r);
                if (!columns.empty() && columns.back().x == x)
                    columns.back().rows |= bit;
                else
                    columns.push_back({x, bit});
            }
        }
    }
}

void SixelWholeImage::change(std::size_t at, std::uint8_t from, std::uint8_t to) {
    int x = static_cast<int>(at % static_cast<std::size_t>(width_));
    std::size_t y = at / static_cast<std::size_t>(width_);
    Band& passes = bands_[y / SixelBandHeight];
    auto bit = static_cast<std::uint8_t>(1 << (y % SixelBandHeight));

    Pass& old = passes[from];
    auto column = columnAt(old.columns, x);
    column->rows = static_cast<std::uint8_t>(column->rows & ~bit);
    if (column->rows == 0) old.columns.erase(column);
    old.stale = true;
    --pixels_[from];

    Pass& now = passes[to];
    column = columnAt(now.columns, x);
    if (column != now.columns.end() && column->x == x)
        column->rows |= bit;
    else
        now.columns.insert(column, {x, bit});
    now.stale = true;
    ++pixels_[to];
}

void SixelWholeImage::append(std::string& out) {
    std::array<bool, SixelPaletteSize> used{};
    for (int i = 0; i < SixelPaletteSize; ++i) used[i] = pixels_[i] > 0;
    appendSixelStart(out, width_, height_, used);
    for (Band& passes : bands_) {
        bool first = true;
        for (int colour = 0; colour < SixelPaletteSize; ++colour) {
            Pass& pass = passes[colour];
            if (pass.columns.empty()) continue;
            if (pass.stale) {
                pass.data.clear();
                pass.data += '#';
                appendNumber(pass.data, colour);
                appendSixelColumns(pass.data, pass.columns);
                pass.stale = false;
            }
            if (!first) out += '$';
            first = false;
            out += pass.data;
        }
        out += '-';
    }
    out += "\x1b\\";
}

} // namespace veloria
