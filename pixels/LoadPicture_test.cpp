#include "pixels/LoadPicture.h"

#include "pixels/Bitmap.h"
#include "tests/fakes/RecordingSurface.h"

#include <gtest/gtest.h>

namespace veloria {
namespace {

using testing::RecordingSurface;
using testing::ShowLog;

Bitmap decoded(const char* name) {
    Bitmap b;
    b.LoadFromResourceName(programModule(), name);
    return b;
}

TEST(LoadPicture, StoresRowsBottomUpWithEveryCellOfThePicture) {
    ShowLog log;
    RecordingSurface surface{log};
    PixelGrid grid = loadPicture(surface, "GLASS", 700, 545, RecordingSurface::Window);
    ASSERT_EQ(grid.size(), 700u);
    for (const auto& row : grid) ASSERT_EQ(row.size(), 545u);
    Bitmap picture = decoded("GLASS");
    for (int r = 0; r < 700; ++r)
        for (int c = 0; c < 545; ++c)
            ASSERT_EQ(grid[r][c], picture.Pixels(c, 699 - r)) << r << "," << c;
    // The picture's own bottom-left and top-left pixels, read from the stored bytes: the
    // first stored pixel is the bottom-left one.
    auto dib = *findResource(programModule(), ResourceType::Bitmap, "GLASS");
    auto byteAt = [&](std::size_t i) { return std::to_integer<unsigned>(dib[i]); };
    EXPECT_EQ(grid[0][0], rgb(byteAt(126), byteAt(125), byteAt(124)));
    std::size_t top = 124 + 699 * 1636;
    EXPECT_EQ(grid[699][0], rgb(byteAt(top + 2), byteAt(top + 1), byteAt(top)));
}

TEST(LoadPicture, AsksTheGivenWindowForTheModuleOnce) {
    ShowLog log;
    RecordingSurface surface{log};
    loadPicture(surface, "SUN", 922, 640, RecordingSurface::Window);
    EXPECT_EQ(log.controlCalls(), std::vector<std::string>{"GetWindowModule console-window"});
}

TEST(LoadPicture, CellsBeyondThePictureHoldTheInvalidColour) {
    ShowLog log;
    RecordingSurface surface{log};
    // SUN is 640 x 922: ask for two more lines and three more columns.
    PixelGrid grid = loadPicture(surface, "SUN", 924, 643, RecordingSurface::Window);
    Bitmap picture = decoded("SUN");
    // Row r holds line 923 - r: rows 922 and 923 are lines -1 and 0... so the two top rows
    // of the grid look at lines 1 and 0, and the bottom two rows at lines 923 and 922.
    for (int c = 0; c < 640; ++c) {
        EXPECT_EQ(grid[0][c], CLR_INVALID);
        EXPECT_EQ(grid[1][c], CLR_INVALID);
        EXPECT_EQ(grid[923][c], picture.Pixels(c, 0));
    }
    for (int r = 0; r < 924; ++r)
        for (int c = 640; c < 643; ++c) EXPECT_EQ(grid[r][c], CLR_INVALID);
}

TEST(LoadPicture, AMissingPictureRaisesItsNameAndDrawsNothing) {
    ShowLog log;
    RecordingSurface surface{log};
    try {
        loadPicture(surface, "MISSING", 10, 10, RecordingSurface::Window);
        ADD_FAILURE() << "accepted";
    } catch (const PictureError& e) {
        EXPECT_STREQ(e.what(), "Resource MISSING not found");
    }
    EXPECT_EQ(surface.calls, 0u);
}

} // namespace
} // namespace veloria
