#include "pixels/PixelEffects.h"

#include "pixels/RandomBelow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace veloria {
namespace {

// Records where and what each SetPixel call drew.
class PlotRecorder final : public WindowSurface {
public:
    struct Plot {
        int x, y;
        ColorValue colour;
    };
    WindowHandle GetConsoleWindow() override { return nullptr; }
    DeviceContext GetDC(WindowHandle) override { return nullptr; }
    ModuleHandle GetWindowModule(WindowHandle) override { return nullptr; }
    void SetPixel(DeviceContext, int x, int y, ColorValue colour) override {
        plots.push_back({x, y, colour});
    }
    std::vector<Plot> plots;
};

// A grid whose every cell names its row and column.
PixelGrid numberedGrid(int h, int w) {
    PixelGrid grid(h, std::vector<ColorValue>(w));
    for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c) grid[r][c] = static_cast<ColorValue>(r << 12 | c);
    return grid;
}

struct RevealCase {
    const char* name;
    int w, h;
    int firstColumn, lastColumn, firstLine, lastLine;
};

class RevealPlacement : public ::testing::TestWithParam<RevealCase> {};

TEST_P(RevealPlacement, PutsEachGridCellAtItsPlaceInThePictureCentredInTheArea) {
    const auto& p = GetParam();
    PixelGrid grid = numberedGrid(p.h, p.w);
    PlotRecorder surface;
    restartRandom();
    revealPicture(surface, grid, nullptr, p.h, p.w, 30 * std::max(p.w, p.h));
    int minX = 1 << 30, maxX = -1, minY = 1 << 30, maxY = -1;
    for (const auto& plot : surface.plots) {
        int r = static_cast<int>(plot.colour >> 12), c = static_cast<int>(plot.colour & 0xFFF);
        // Column c at firstColumn + c; row r is picture line h - 1 - r.
        ASSERT_EQ(plot.x, p.firstColumn + c);
        ASSERT_EQ(plot.y, p.firstLine + (p.h - 1 - r));
        minX = std::min(minX, plot.x), maxX = std::max(maxX, plot.x);
        minY = std::min(minY, plot.y), maxY = std::max(maxY, plot.y);
    }
    EXPECT_EQ(minX, p.firstColumn);
    EXPECT_EQ(maxX, p.lastColumn);
    EXPECT_EQ(minY, p.firstLine);
    EXPECT_EQ(maxY, p.lastLine);
}

INSTANTIATE_TEST_SUITE_P(Pictures, RevealPlacement,
                         ::testing::Values(RevealCase{"FillsTheArea", 1010, 1010, 5, 1014, 6, 1015},
                                           RevealCase{"QIR", 1000, 790, 10, 1009, 116, 905},
                                           RevealCase{"TOLV", 1000, 962, 10, 1009, 30, 991},
                                           RevealCase{"SUN", 640, 922, 190, 829, 50, 971},
                                           RevealCase{"GLASS_OffsetRoundsDown", 545, 700, 237, 781,
                                                      161, 860},
                                           RevealCase{"RASKEP", 645, 1000, 187, 831, 11, 1010},
                                           RevealCase{"OnePixel", 1, 1, 509, 509, 510, 510}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RevealPicture, DrawsTheRowThenTheColumnOfEachSample) {
    PixelGrid grid = numberedGrid(700, 545);
    PlotRecorder surface;
    restartRandom();
    revealPicture(surface, grid, nullptr, 700, 545, 100);
    std::minstd_rand reference;
    for (const auto& plot : surface.plots) {
        unsigned r = reference() % 700, c = reference() % 545;
        EXPECT_EQ(plot.colour, grid[r][c]);
    }
}

TEST(RevealPicture, AnEmptyPictureDrawsNothing) {
    PlotRecorder surface;
    revealPicture(surface, {}, nullptr, 0, 0, 1000);
    EXPECT_TRUE(surface.plots.empty());
}

TEST(NoiseBurst, DrawsFiveNumbersPerDotInOrderYXRedGreenBlue) {
    PlotRecorder surface;
    restartRandom();
    noiseBurst(surface, nullptr, 1000);
    std::minstd_rand reference;
    ASSERT_EQ(surface.plots.size(), 1000u);
    for (const auto& plot : surface.plots) {
        int y = 5 + static_cast<int>(reference() % 1010),
            x = 5 + static_cast<int>(reference() % 1010);
        ColorValue red = reference() % 255, green = reference() % 255, blue = reference() % 255;
        EXPECT_EQ(plot.y, y);
        EXPECT_EQ(plot.x, x);
        EXPECT_EQ(plot.colour, red | green << 8 | blue << 16);
    }
}

TEST(NoiseBurst, StaysInTheAreaAndNeverUsesChannelValue255) {
    PlotRecorder surface;
    restartRandom();
    noiseBurst(surface, nullptr, 500000);
    unsigned highest = 0;
    for (const auto& plot : surface.plots) {
        ASSERT_TRUE(plot.x >= 5 && plot.x <= 1014 && plot.y >= 5 && plot.y <= 1014);
        ASSERT_EQ(plot.colour >> 24, 0u);
        for (unsigned channel : {redOf(plot.colour), greenOf(plot.colour), blueOf(plot.colour)}) {
            ASSERT_NE(channel, 255u);
            highest = std::max(highest, channel);
        }
    }
    EXPECT_EQ(highest, 254u);
}

TEST(Effects, ACountOfZeroDrawsNothingAndConsumesNoRandomNumbers) {
    restartRandom();
    unsigned fresh = randomBelow(1000000);
    restartRandom();
    PlotRecorder surface;
    noiseBurst(surface, nullptr, 0);
    revealPicture(surface, numberedGrid(3, 3), nullptr, 3, 3, 0);
    EXPECT_TRUE(surface.plots.empty());
    EXPECT_EQ(randomBelow(1000000), fresh);
}

TEST(RandomBelow, ZeroYieldsZeroWithoutDrawing) {
    restartRandom();
    unsigned fresh = randomBelow(1000000);
    restartRandom();
    EXPECT_EQ(randomBelow(0), 0u);
    EXPECT_EQ(randomBelow(1000000), fresh);
}

TEST(RandomBelow, FollowsTheMinimalStandardSequence) {
    // The standard fixes the 10000th output of a default-constructed minstd_rand.
    restartRandom();
    unsigned last = 0;
    for (int i = 0; i < 10000; ++i) last = randomBelow(2147483647u);
    EXPECT_EQ(last, 399268537u);
}

} // namespace
} // namespace veloria
