// The console window's font: Terminus 10 x 20 in Windows-1251, the console's code page. The
// glyphs are baked into the program at build time by bake_console_font, so a recording needs
// no font file.
#pragma once

#include <array>
#include <cstdint>

namespace veloria {

inline constexpr int GlyphWidth = 10, GlyphHeight = 20;

// A glyph's rows, top to bottom; in each row, bit GlyphWidth - 1 - x is set where column x
// (from the left) is inked.
using GlyphRows = std::array<std::uint16_t, GlyphHeight>;

// The glyph of every Windows-1251 byte. A byte the font has no glyph for shows the font's
// default character, or nothing where the font has none.
extern const GlyphRows ConsoleGlyphs[256];

inline bool inked(const GlyphRows& glyph, int x, int y) {
    return (glyph[y] >> (GlyphWidth - 1 - x) & 1) != 0;
}

} // namespace veloria
