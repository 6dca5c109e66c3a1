#include "pixels/GalleryGeometry.h"
#include "terminal/canvas/Viewport.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

namespace veloria {
namespace {

struct ViewportCase {
    const char* name;
    TerminalGeometry terminal;
};

// Cells of 10 x 20 pixels where a size is given, and some odd ones.
const ViewportCase Cases[] = {
    {"console grid", {GalleryWindow.columns, GalleryWindow.rows, 0, 0}},
    {"console grid with pixels",
     {GalleryWindow.columns, GalleryWindow.rows, GalleryWindow.width(), GalleryWindow.height()}},
    {"80x24", {80, 24, 0, 0}},
    {"80x24 with 9x18 cells", {80, 24, 720, 432}},
    {"200x60", {200, 60, 0, 0}},
    {"200x60 with 8x16 cells", {200, 60, 1600, 960}},
    {"20x5", {20, 5, 0, 0}},
    {"odd 73x37", {73, 37, 0, 0}},
    {"odd 133x41 with 7x15 cells", {133, 41, 931, 615}},
    {"tall 30x90", {30, 90, 0, 0}},
};

class ViewportTable : public testing::TestWithParam<ViewportCase> {};

TEST_P(ViewportTable, HalfCellsShowTheDrawingAreaWholeCentredAndInProportion) {
    const TerminalGeometry& terminal = GetParam().terminal;
    Viewport view = halfCellViewport(GalleryWindow, terminal);
    EXPECT_EQ(view.rasterWidth, terminal.columns);
    EXPECT_EQ(view.rasterHeight, 2 * terminal.rows);
    const Rect& t = view.target;
    ASSERT_GT(t.width, 0);
    ASSERT_GT(t.height, 0);
    EXPECT_GE(t.x, 0);
    EXPECT_GE(t.y, 0);
    EXPECT_LE(t.x + t.width, view.rasterWidth);
    EXPECT_LE(t.y + t.height, view.rasterHeight);
    // Centred to within a dot.
    EXPECT_LE(std::abs(t.x - (view.rasterWidth - t.x - t.width)), 1);
    EXPECT_LE(std::abs(t.y - (view.rasterHeight - t.y - t.height)), 1);
    if (terminal.columns == GalleryWindow.columns && terminal.rows == GalleryWindow.rows) {
        // Each cell shows its own 10 x 20 pixels.
        EXPECT_EQ(view.source, (Rect{0, 0, 1150, 1020}));
        EXPECT_EQ(t, (Rect{0, 0, 115, 102}));
        return;
    }
    EXPECT_EQ(view.source, GalleryWindow.drawingArea);
    // One side fills the raster; the shape on screen is the drawing area's, within a dot's
    // rounding on each side.
    EXPECT_TRUE(t.width == view.rasterWidth || t.height == view.rasterHeight);
    double dotWidth = terminal.widthPixels ? double(terminal.widthPixels) / terminal.columns : 1;
    double dotHeight =
        terminal.heightPixels ? double(terminal.heightPixels) / terminal.rows / 2 : 1;
    double shownWidth = t.width * dotWidth;
    double shownHeight = t.height * dotHeight;
    EXPECT_NEAR(shownWidth / shownHeight, 1.0,
                dotWidth / shownHeight + dotHeight * shownWidth / (shownHeight * shownHeight));
}

TEST_P(ViewportTable, PixelsShowTheWholeAreaWithinTheLimit) {
    const TerminalGeometry& terminal = GetParam().terminal;
    for (int limit : {1000, 300, INT_MAX}) {
        Viewport view = pixelViewport(GalleryWindow, terminal, limit, limit);
        int expectedWidth = terminal.widthPixels ? terminal.widthPixels : terminal.columns * 10;
        int expectedHeight = terminal.heightPixels ? terminal.heightPixels : terminal.rows * 20;
        EXPECT_EQ(view.rasterWidth, expectedWidth);
        EXPECT_EQ(view.rasterHeight, expectedHeight);
        EXPECT_EQ(view.cellWidth, expectedWidth / terminal.columns);
        const Rect& t = view.target;
        EXPECT_LE(t.width, limit);
        EXPECT_LE(t.height, limit);
        EXPECT_GE(t.x, 0);
        EXPECT_GE(t.y, 0);
        EXPECT_LE(t.x + t.width, view.rasterWidth);
        EXPECT_LE(t.y + t.height, view.rasterHeight);
        double sourceAspect = double(view.source.width) / view.source.height;
        EXPECT_NEAR(double(t.width) / t.height, sourceAspect,
                    1.0 / t.height + sourceAspect / t.height);
    }
}

INSTANTIATE_TEST_SUITE_P(Terminals, ViewportTable, testing::ValuesIn(Cases), [](const auto& info) {
    std::string name = info.param.name;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
});

TEST(Viewport, NoGridNoTarget) {
    EXPECT_EQ(halfCellViewport(GalleryWindow, {0, 0, 0, 0}).target.width, 0);
    EXPECT_EQ(pixelViewport(GalleryWindow, {0, 24, 0, 0}, 1000, 1000).target.width, 0);
}

TEST(SourceEdges, SplitEvenlyAndCoverEverything) {
    EXPECT_EQ(sourceEdges(5, 10, 4), (std::vector<int>{5, 7, 10, 12, 15}));
    EXPECT_EQ(sourceEdges(0, 1150, 115).back(), 1150);
    EXPECT_EQ(sourceEdges(0, 1150, 115)[1], 10);
    // More dots than pixels repeat pixels.
    EXPECT_EQ(sourceEdges(0, 2, 4), (std::vector<int>{0, 0, 1, 1, 2}));
}

TEST(DotsOfPixels, EachDotIsFoundUnderThePixelItShowsAndNoOther) {
    struct Case {
        int start, length, dots, surface;
    };
    // Shrunk (the sixel image of the whole window), one to one, stretched, and a part of a
    // wider surface.
    for (const Case& c : {Case{0, 1150, 1000, 1150}, Case{0, 1150, 1150, 1150}, Case{0, 3, 10, 3},
                          Case{5, 10, 4, 20}}) {
        std::vector<int> edges = sourceEdges(c.start, c.length, c.dots);
        std::vector<int> first = dotsOfPixels(edges, c.surface);
        ASSERT_EQ(first.size(), static_cast<std::size_t>(c.surface) + 1);
        std::vector<int> found(static_cast<std::size_t>(c.dots), 0);
        for (int p = 0; p < c.surface; ++p)
            for (int dot = first[p]; dot < first[p + 1]; ++dot) {
                EXPECT_EQ(edges[dot], p) << "dot " << dot << " of " << c.dots;
                ++found[dot];
            }
        EXPECT_EQ(found, std::vector<int>(static_cast<std::size_t>(c.dots), 1))
            << c.length << " pixels over " << c.dots << " dots";
    }
}

TEST(GridInPixels, AnImageSizedFromTheCellsFitsTheGridTheTerminalShows) {
    // Konsole after taking the 115 x 51 request: it reports its whole window, 1178 x 948, but
    // shows the grid in cells of 8 x 17, 920 x 867 pixels.
    const TerminalGeometry reported{115, 51, 1178, 948};
    const CellSize cell{8, 17};
    EXPECT_EQ(gridInPixels(reported, cell), (TerminalGeometry{115, 51, 920, 867}));
    Viewport view = pixelViewport(GalleryWindow, gridInPixels(reported, cell), INT_MAX, INT_MAX);
    EXPECT_LE(view.target.x + view.target.width, 920);
    EXPECT_LE(view.target.y + view.target.height, 867);
    EXPECT_EQ(view.cellWidth, 8);
    EXPECT_EQ(view.cellHeight, 17);
    // Without a cell size the reported pixels stand.
    EXPECT_EQ(gridInPixels(reported, std::nullopt), reported);
    EXPECT_EQ(gridInPixels(reported, CellSize{0, 17}), reported);
}

} // namespace
} // namespace veloria
