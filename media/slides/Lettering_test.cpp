#include "media/slides/Lettering.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace veloria::slides {
namespace {

TEST(BitmapText, LaysOutLettersOfTheirOwnWidthsWithSpacingBetween) {
    const BitmapText text("LV"); // L is 7 pixels wide, V 8
    EXPECT_EQ(text.columns(), 7 + LetterSpacing + 8);
    for (int row = 0; row < GlyphRows; ++row) {
        EXPECT_TRUE(text.pixel(0, row) && text.pixel(1, row)) << row;  // the stem of the L
        EXPECT_FALSE(text.pixel(7, row) || text.pixel(8, row)) << row; // the spacing
    }
    EXPECT_TRUE(text.pixel(6, 6));                        // the foot of the L
    EXPECT_TRUE(text.pixel(12, 6) && text.pixel(13, 6));  // the point of the V
    EXPECT_FALSE(text.pixel(11, 6) || text.pixel(14, 6)); // beside the point
    EXPECT_FALSE(text.pixel(-1, 0) || text.pixel(17, 0)); // outside the text
    EXPECT_FALSE(text.pixel(0, GlyphRows));
}

TEST(BitmapText, InkIsThePixelAtItsCentreAndBlendsBetweenCentres) {
    const BitmapText text("T");
    for (int row = 0; row < GlyphRows; ++row) {
        for (int column = 0; column < text.columns(); ++column) {
            EXPECT_EQ(text.ink(column + 0.5, row + 0.5), text.pixel(column, row) ? 1.0 : 0.0)
                << column << "," << row;
        }
    }
    EXPECT_DOUBLE_EQ(text.ink(4.0, 3.0), 1.0); // inside the two-pixel stem
    EXPECT_DOUBLE_EQ(text.ink(5.0, 3.5), 0.5); // the stem's right edge
}

TEST(BitmapText, RejectsALetterTheFontLacks) {
    EXPECT_THROW(BitmapText("VELORIA?"), std::invalid_argument);
}

} // namespace
} // namespace veloria::slides
