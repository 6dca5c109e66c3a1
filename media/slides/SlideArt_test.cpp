#include "media/slides/SlideArt.h"
#include "media/slides/SlideScenes.h"

#include <gtest/gtest.h>

namespace veloria::slides {
namespace {

BrightnessField rowOf(std::vector<double> values) {
    const int columns = static_cast<int>(values.size());
    return BrightnessField{columns, 1, std::move(values)};
}

TEST(ToCharacterLines, DarkestTakesTheSparseEndAndBrightestTheDenseEnd) {
    for (const std::string_view ramp : {TitleRamp, PictureRamp}) {
        const auto lines = toCharacterLines(rowOf({0.0, 1.0, -0.3, 1.7}), ramp);
        ASSERT_EQ(lines.size(), 1u);
        const std::string expected{ramp.front(), ramp.back(), ramp.front(), ramp.back()};
        EXPECT_EQ(lines[0], expected) << ramp;
    }
}

TEST(ToCharacterLines, EqualStepsReachEveryCharacterInOrder) {
    const std::string_view ramp = "abcd";
    const auto lines = toCharacterLines(rowOf({0.1, 0.24, 0.26, 0.6, 0.74, 0.76, 0.99}), ramp);
    EXPECT_EQ(lines[0], "aabccdd");
}

TEST(SampleCells, AveragesOverCellsTwiceAsTallAsWide) {
    // Bright only where 2 <= x < 3 and 2 <= y < 4: exactly the cell in column 2, row 1.
    const Picture block = [](double x, double y) {
        return x >= 2.0 && x < 3.0 && y >= 2.0 && y < 4.0 ? 1.0 : 0.0;
    };
    const BrightnessField field = sampleCells(4, 3, 4, block);
    ASSERT_EQ(field.values.size(), 12u);
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 4; ++column) {
            EXPECT_EQ(field.at(column, row), column == 2 && row == 1 ? 1.0 : 0.0)
                << column << "," << row;
        }
    }
    // Bright in the upper half of each cell: y in [0, 1) of the cell's [0, 2).
    const Picture upperHalf = [](double, double y) { return y < 1.0 ? 1.0 : 0.0; };
    EXPECT_DOUBLE_EQ(sampleCells(1, 1, 4, upperHalf).at(0, 0), 0.5);
}

} // namespace
} // namespace veloria::slides
