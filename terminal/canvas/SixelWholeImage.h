// A whole sixel image of palette indices, its data kept band by band and colour by colour:
// after a few thousand pixels changed, the image costs what those pixels' colours draw in
// their bands, not the whole image again. The bytes are those of the image made afresh.
#pragma once

#include "terminal/canvas/SixelData.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace veloria {

class SixelWholeImage {
public:
    // Takes the image: width x height palette indices, row by row, the height a whole number
    // of bands.
    void reset(const std::vector<std::uint8_t>& indices, int width, int height);

    // The pixel at `at` (y * width + x) changed from colour `from` to another colour, `to`.
    void change(std::size_t at, std::uint8_t from, std::uint8_t to);

    // The whole image, from its introducer to its terminator.
    void append(std::string& out);

private:
    // One colour's columns in a band, and the data that draws them ("#register" first),
    // made again only after they changed.
    struct Pass {
        std::vector<SixelColumn> columns;
        std::string data;
        bool stale = true;
    };
    using Band = std::array<Pass, SixelPaletteSize>;

    int width_ = 0;
    int height_ = 0;
    std::vector<Band> bands_;
    std::array<std::size_t, SixelPaletteSize> pixels_{}; // pixels of each colour
};

} // namespace veloria
