// The pieces sixel images are made of, shared by whole images and overlays: the fixed palette
// (6 x 7 x 6 levels, a register per colour), decimal numbers, and one colour's columns in a
// band of six rows.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace veloria {

inline constexpr int SixelRedLevels = 6;
inline constexpr int SixelGreenLevels = 7;
inline constexpr int SixelBlueLevels = 6;
inline constexpr int SixelPaletteSize = SixelRedLevels * SixelGreenLevels * SixelBlueLevels;
inline constexpr int SixelBandHeight = 6;

// One column of one colour in a band: the rows (bit 0 the top) that colour covers.
struct SixelColumn {
    int x;
    std::uint8_t rows;
};

void appendNumber(std::string& out, int value);

// The image's introducer (transparent background: pixels not drawn keep what the screen
// shows), its size in square pixels, and the registers of the colours it uses.
void appendSixelStart(std::string& out, int width, int height,
                      const std::array<bool, SixelPaletteSize>& used);

// One colour's columns (in order of x) from the band's left edge, gaps skipped.
void appendSixelColumns(std::string& out, const std::vector<SixelColumn>& columns);

} // namespace veloria
