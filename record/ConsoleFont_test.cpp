#include "record/ConsoleFont.h"

#include <gtest/gtest.h>

namespace veloria {
namespace {

const GlyphRows& glyph(unsigned char byte) {
    return ConsoleGlyphs[byte];
}

int inkIn(const GlyphRows& rows, int left, int top, int right, int bottom) {
    int count = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) count += inked(rows, x, y);
    return count;
}

// The lowest row with ink.
int bottom(const GlyphRows& rows) {
    int y = GlyphHeight - 1;
    while (y > 0 && rows[y] == 0) --y;
    return y;
}

TEST(ConsoleFont, HoldsTheWindows1251Glyphs) {
    EXPECT_EQ(glyph(' '), GlyphRows{});
    EXPECT_EQ(glyph(0xA0), GlyphRows{}) << "no-break space";
    EXPECT_NE(glyph('A'), GlyphRows{});
    EXPECT_NE(glyph('A'), glyph('B'));
    // 0xC0 is the Cyrillic А in Windows-1251, drawn as the Latin A (in Latin-1 it is À).
    EXPECT_EQ(glyph(0xC0), glyph('A'));
    EXPECT_NE(glyph(0xC6), GlyphRows{}) << "Ж";
    EXPECT_NE(glyph(0xC6), glyph(0xE6)) << "Ж and ж";
    // Windows-1251 leaves 0x98 unassigned: the font's default character stands in.
    EXPECT_EQ(glyph(0x98), glyph('?'));
    for (int byte = 0; byte < 256; ++byte)
        for (std::uint16_t row : glyph(static_cast<unsigned char>(byte)))
            EXPECT_LT(row, 1u << GlyphWidth) << "byte " << byte;
}

TEST(ConsoleFont, GlyphsStandUprightOnOneBaseline) {
    // An L: its stem on the left, its foot along the bottom of its ink.
    const GlyphRows& l = glyph('L');
    const int half = GlyphWidth / 2;
    EXPECT_GT(inkIn(l, 0, 0, half, GlyphHeight), inkIn(l, half, 0, GlyphWidth, GlyphHeight));
    EXPECT_GE(inkIn(l, 0, bottom(l), GlyphWidth, bottom(l) + 1), half);
    // A g reaches below the baseline that an a and an L sit on.
    EXPECT_EQ(bottom(l), bottom(glyph('a')));
    EXPECT_GT(bottom(glyph('g')), bottom(glyph('a')));
}

} // namespace
} // namespace veloria
