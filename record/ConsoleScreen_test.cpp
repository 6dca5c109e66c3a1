#include "record/ConsoleScreen.h"

#include "console/Cp1251.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace veloria {
namespace {

// The screen's text, one string per line, trailing blanks cut off.
std::vector<std::string> text(const ConsoleScreen& screen) {
    std::vector<std::string> lines;
    for (int line = 0; line < screen.lines(); ++line) {
        std::string bytes;
        for (int column = 0; column < screen.columns(); ++column)
            bytes += static_cast<char>(screen.cell(column, line).byte);
        bytes.erase(bytes.find_last_not_of(' ') + 1);
        lines.push_back(bytes);
    }
    return lines;
}

TEST(ConsoleScreenWrite, PlacesBytesAndMovesTheCursorAsAConsoleDoes) {
    struct Case {
        const char* what;
        std::string bytes;
        std::vector<std::string> lines; // of a 5 x 3 screen
        CellPosition cursor;
    };
    const std::vector<Case> cases = {
        {"text", "ab", {"ab", "", ""}, {2, 0}},
        {"new line", "ab\ncd", {"ab", "cd", ""}, {2, 1}},
        {"carriage return", "abc\rX", {"Xbc", "", ""}, {1, 0}},
        {"other controls", std::string("a\tb\a\x01\x1b\x08\0c", 10), {"abc", "", ""}, {3, 0}},
        {"Cyrillic", std::string(cp1251<"Жук">()), {"\xC6\xF3\xEA", "", ""}, {3, 0}},
        {"full line", "abcde", {"abcde", "", ""}, {4, 0}},
        {"full line, new line", "abcde\nf", {"abcde", "f", ""}, {1, 1}},
        {"full line, more text", "abcdefg", {"abcde", "fg", ""}, {2, 1}},
        {"full line, return", "abcde\rX", {"Xbcde", "", ""}, {1, 0}},
        {"two full lines", "abcde\nfghij\n", {"abcde", "fghij", ""}, {0, 2}},
    };
    for (const Case& c : cases) {
        ConsoleScreen screen(5, 3);
        screen.write(c.bytes);
        EXPECT_EQ(text(screen), c.lines) << c.what;
        EXPECT_EQ(screen.cursor(), c.cursor) << c.what;
    }
}

TEST(ConsoleScreenWrite, LinesAsWideAsTheConsoleTakeOneLineEach) {
    ConsoleScreen screen(150, 51);
    for (char fill : {'a', 'b', 'c'}) screen.write(std::string(150, fill) + "\n");
    const std::vector<std::string> lines = text(screen);
    EXPECT_EQ(lines[0], std::string(150, 'a'));
    EXPECT_EQ(lines[1], std::string(150, 'b'));
    EXPECT_EQ(lines[2], std::string(150, 'c'));
    EXPECT_EQ(lines[3], "");
    EXPECT_EQ(screen.cursor(), (CellPosition{0, 3}));
}

TEST(ConsoleScreenWrite, GoingDownFromTheLastLineScrollsUp) {
    struct Case {
        const char* what;
        std::string bytes;
        std::vector<std::string> lines;
        CellPosition cursor;
    };
    const std::vector<Case> cases = {
        {"new line", "1\n2\n3\n4", {"2", "3", "4"}, {1, 2}},
        {"two lines over", "1\n2\n3\n4\n5\n", {"4", "5", ""}, {0, 2}},
        {"wrap", "1\n2\nabcdefg", {"2", "abcde", "fg"}, {2, 2}},
        {"full last line", "1\n2\nabcde\n", {"2", "abcde", ""}, {0, 2}},
    };
    for (const Case& c : cases) {
        ConsoleScreen screen(5, 3);
        screen.setColors(0x1E);
        screen.write(c.bytes);
        EXPECT_EQ(text(screen), c.lines) << c.what;
        EXPECT_EQ(screen.cursor(), c.cursor) << c.what;
        // The line scrolled in is blank in the current colours.
        EXPECT_EQ(screen.cell(4, 2), (ConsoleCell{' ', 0x1E})) << c.what;
    }
}

TEST(ConsoleScreenColours, ColourEveryCellAndTheTextWrittenAfter) {
    ConsoleScreen screen(5, 3);
    screen.write("ab");
    EXPECT_EQ(screen.cell(0, 0), (ConsoleCell{'a', 0x07}));
    EXPECT_EQ(screen.cell(4, 2), (ConsoleCell{' ', 0x07}));
    screen.setColors(0x0A);
    EXPECT_EQ(screen.cell(0, 0), (ConsoleCell{'a', 0x0A}));
    EXPECT_EQ(screen.cell(4, 2), (ConsoleCell{' ', 0x0A}));
    screen.write("c");
    EXPECT_EQ(screen.cell(2, 0), (ConsoleCell{'c', 0x0A}));
    // Colouring leaves the text and the cursor where they were.
    EXPECT_EQ(text(screen)[0], "abc");
    EXPECT_EQ(screen.cursor(), (CellPosition{3, 0}));
}

TEST(ConsoleScreenResize, ClearsEverythingButTheColours) {
    ConsoleScreen screen(5, 3);
    screen.setColors(0x0A);
    screen.write("abcde");
    screen.resize(7, 2);
    EXPECT_EQ(screen.columns(), 7);
    EXPECT_EQ(screen.lines(), 2);
    EXPECT_EQ(text(screen), (std::vector<std::string>{"", ""}));
    EXPECT_EQ(screen.cell(6, 1), (ConsoleCell{' ', 0x0A}));
    EXPECT_EQ(screen.cursor(), (CellPosition{0, 0}));
    // The wrap that was due before is gone with the old screen.
    screen.write("x");
    EXPECT_EQ(text(screen)[0], "x");

    for (auto [columns, lines] : {std::pair{0, 3}, {5, 0}, {-1, 3}})
        EXPECT_THROW(screen.resize(columns, lines), std::invalid_argument);
}

// A renderer that drew the screen at some generation must find every cell changed since.
TEST(ConsoleScreenChanges, StampExactlyTheCellsThatChanged) {
    ConsoleScreen screen(5, 3);
    std::uint64_t drawn = screen.generation();
    auto changedCells = [&] {
        std::vector<CellPosition> cells;
        for (int line = 0; line < screen.lines(); ++line)
            for (int column = 0; column < screen.columns(); ++column)
                if (screen.cellGeneration(column, line) > drawn) cells.push_back({column, line});
        drawn = screen.generation();
        return cells;
    };
    EXPECT_TRUE(changedCells().empty());
    screen.write("ab");
    EXPECT_EQ(changedCells(), (std::vector<CellPosition>{{0, 0}, {1, 0}}));
    // Writing the same byte again still counts: it is drawn again over what lies there.
    screen.write("\ra");
    EXPECT_EQ(changedCells(), (std::vector<CellPosition>{{0, 0}}));
    screen.write("\r\n");
    EXPECT_TRUE(changedCells().empty());

    std::vector<CellPosition> everyCell;
    for (int line = 0; line < 3; ++line)
        for (int column = 0; column < 5; ++column) everyCell.push_back({column, line});
    screen.write("\n\n");
    EXPECT_EQ(changedCells(), everyCell) << "scrolling";
    screen.setColors(0x0A);
    EXPECT_EQ(changedCells(), everyCell) << "colours";
    screen.resize(5, 3);
    EXPECT_EQ(changedCells(), everyCell) << "resize";
}

} // namespace
} // namespace veloria
