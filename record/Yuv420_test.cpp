#include "record/Yuv420.h"

#include <gtest/gtest.h>

#include <vector>

namespace veloria {
namespace {

// A width x height picture's planes, every sample first set to a mark.
struct Planes {
    Planes(int width, int height)
        : luma(std::size_t(width * height), Mark), blue(std::size_t(width * height / 4), Mark),
          red(std::size_t(width * height / 4), Mark), planes{luma.data(), width, blue.data(),
                                                             red.data(), width / 2} {}
    static constexpr std::uint8_t Mark = 7;
    std::vector<std::uint8_t> luma, blue, red;
    Yuv420Planes planes;
};

TEST(Yuv420, ColoursTakeTheirBt709LimitedRangeValues) {
    struct Case {
        ColorValue colour;
        int y, cb, cr;
    };
    const Case cases[] = {
        {rgb(0, 0, 0), 16, 128, 128},
        {rgb(255, 255, 255), 235, 128, 128},
        {rgb(255, 0, 0), 63, 102, 240},
        {rgb(0, 255, 0), 173, 42, 26},
        {rgb(0, 0, 255), 32, 240, 118},
        {rgb(22, 198, 12), 142, 64, 58}, // the console's light green
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.colour);
        Planes p(2, 2);
        const std::vector<ColorValue> pixels(4, c.colour);
        convertToYuv420(pixels.data(), 2, 2, {0, 0, 2, 2}, p.planes);
        for (std::uint8_t y : p.luma) EXPECT_NEAR(y, c.y, 1);
        EXPECT_NEAR(p.blue[0], c.cb, 1);
        EXPECT_NEAR(p.red[0], c.cr, 1);
    }
}

TEST(Yuv420, ABlockTakesTheAverageOfItsFourColours) {
    Planes p(2, 2);
    // Two white and two black pixels: the colour differences of grey, the luma of each pixel.
    const std::vector<ColorValue> pixels = {rgb(255, 255, 255), rgb(0, 0, 0), rgb(0, 0, 0),
                                            rgb(255, 255, 255)};
    convertToYuv420(pixels.data(), 2, 2, {0, 0, 2, 2}, p.planes);
    EXPECT_EQ(p.luma, (std::vector<std::uint8_t>{235, 16, 16, 235}));
    EXPECT_EQ(p.blue[0], 128);
    EXPECT_EQ(p.red[0], 128);
}

TEST(Yuv420, OnlyTheWholeBlocksOfTheChangedAreaAreConverted) {
    const int width = 8, height = 8;
    Planes p(width, height);
    const std::vector<ColorValue> pixels(width * height, rgb(255, 255, 255));
    // Pixels 3..4 in both directions lie in the blocks that start at 2 and 4.
    convertToYuv420(pixels.data(), width, height, {3, 3, 2, 2}, p.planes);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool inside = x >= 2 && x < 6 && y >= 2 && y < 6;
            EXPECT_EQ(p.luma[std::size_t(y * width + x)], inside ? 235 : Planes::Mark)
                << x << "," << y;
            if (x % 2 == 0 && y % 2 == 0) {
                EXPECT_EQ(p.blue[std::size_t(y / 2 * width / 2 + x / 2)],
                          inside ? 128 : Planes::Mark)
                    << x << "," << y;
            }
        }
    // An area reaching past the picture stops at its edges.
    Planes edge(width, height);
    convertToYuv420(pixels.data(), width, height, {5, 5, 20, 20}, edge.planes);
    EXPECT_EQ(edge.luma[std::size_t(width * height - 1)], 235);
    EXPECT_EQ(edge.luma[std::size_t(3 * width + 3)], Planes::Mark);
}

} // namespace
} // namespace veloria
