#include "terminal/CutAtCursorMoves.h"

#include <gtest/gtest.h>
#include <string>

namespace veloria {
namespace {

TEST(CutAtCursorMoves, CellsAreCharactersNotBytes) {
    EXPECT_EQ(cellsOf(""), 0u);
    EXPECT_EQ(cellsOf("\x1b[0m"), 4u);
    EXPECT_EQ(cellsOf("\u2580\u2580 "), 3u); // two upper halves (three bytes each) and a blank
}

TEST(CutAtCursorMoves, PiecesEndWhereACursorPositionBegins) {
    const std::string row1 = "\x1b[1;1H\x1b[38;2;1;2;3m\u2580\u2580"; // 21 cells, 25 bytes
    const std::string row2 = "\x1b[2;1H\x1b[48;2;4;5;6m \u2580";      // 21 cells, 23 bytes
    const struct {
        const char* name;
        std::string bytes;
        std::size_t room, length;
    } cases[] = {
        {"all of it fits", row1 + row2, 42, row1.size() + row2.size()},
        {"cut before the second row's position", row1 + row2, 41, row1.size()},
        {"the room ends inside the first row", row1 + row2, 20, 0},
        {"a colour is not a place to cut", "\x1b[38;2;1;2;3m\u2580\x1b[48;2;1;2;3m\u2580", 20, 0},
        {"the last position within the room", row1 + row2 + row1, 60, row1.size() + row2.size()},
        // A cursor move that is not a position keeps the piece whole.
        {"a relative move is no cut", "\x1b[3C\u2580\x1b[5C\u2580", 6, 0},
        {"nothing to write", "", 10, 0},
    };
    for (const auto& c : cases) {
        std::size_t length = pieceLength(c.bytes, c.room);
        EXPECT_EQ(length, c.length) << c.name;
        EXPECT_LE(cellsOf(std::string_view(c.bytes).substr(0, length)), c.room) << c.name;
    }
}

TEST(CutAtCursorMoves, PiecesPutTogetherAreTheOutput) {
    std::string frame;
    for (int row = 1; row <= 51; ++row) {
        frame += "\x1b[" + std::to_string(row) + ";1H";
        for (int column = 0; column < 115; ++column)
            frame += "\x1b[38;2;" + std::to_string(column) + ";0;0m\u2580";
    }
    std::string joined;
    std::string_view rest = frame;
    while (!rest.empty()) {
        std::size_t length = pieceLength(rest, 32000);
        ASSERT_GT(length, 0u);
        EXPECT_TRUE(rest.size() == length || rest.substr(length, 2) == "\x1b[");
        joined += rest.substr(0, length);
        rest.remove_prefix(length);
    }
    EXPECT_EQ(joined, frame);
}

} // namespace
} // namespace veloria
