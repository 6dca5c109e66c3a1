#include "terminal/TerminalReplies.h"

#include <gtest/gtest.h>

namespace veloria {
namespace {

TEST(ParseTerminalReplies, OnlyAWholeAttributesAnswerEndsTheWait) {
    const struct {
        std::string_view received;
        bool answered;
    } cases[] = {
        {"", false},
        {"\x1b[?62;4c", true},
        {"\x1b]11;rgb:0000/0000/0000\x07\x1b[?1;2c", true},
        {"\x1b[?63;1;2", false}, // not all of it has arrived
        {"\x1b[?62;4", false},
        {"c\x1b[?62", false},
        {"\x1b[2c", false},        // not an attributes answer
        {"x\x1b[?62;ac", false},   // garbled
        {"typed\x1b[?1;2c", true}, // keys typed among the answers
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseTerminalReplies(c.received).attributesSeen, c.answered)
            << testing::PrintToString(c.received);
}

TEST(ParseTerminalReplies, AnswersSplitAcrossReadsCountOnlyWhenWhole) {
    const std::string whole = "\x1b_Gi=31;OK\x1b\\\x1b[?2;0;800;600S\x1b[?63;1;4c";
    // Every prefix is what might have been read so far: the attributes count only when their
    // final byte is in, and nothing is misread from a cut-off sequence.
    for (std::size_t n = 0; n < whole.size(); ++n) {
        TerminalReplies partial = parseTerminalReplies(whole.substr(0, n));
        EXPECT_FALSE(partial.attributesSeen) << n;
        EXPECT_FALSE(partial.sixelGraphics) << n;
        if (partial.graphicsLimit) {
            EXPECT_EQ(partial.graphicsLimit->width, 800);
            EXPECT_EQ(partial.graphicsLimit->height, 600);
        }
    }
    TerminalReplies replies = parseTerminalReplies(whole);
    EXPECT_TRUE(replies.attributesSeen);
    EXPECT_TRUE(replies.kittyGraphics);
    EXPECT_TRUE(replies.sixelGraphics);
    ASSERT_TRUE(replies.graphicsLimit);
    EXPECT_EQ(replies.graphicsLimit->width, 800);
}

TEST(ParseTerminalReplies, ABrokenSequenceDoesNotHideTheNextOne) {
    TerminalReplies replies = parseTerminalReplies("\x1b[12\x1b[?63;4c");
    EXPECT_TRUE(replies.attributesSeen);
    EXPECT_TRUE(replies.sixelGraphics);
}

TEST(ParseTerminalReplies, ReadsTheCellSizeInPixels) {
    const struct {
        std::string_view received;
        std::optional<CellSize> cell;
    } cases[] = {
        {"\x1b[6;17;8t\x1b[?62;1;4c", CellSize{8, 17}}, // Konsole: height, then width
        {"\x1b[?6c", std::nullopt},                     // not answered
        {"\x1b[4;867;920t\x1b[?6c", std::nullopt},      // the text area, not a cell
        {"\x1b[6;0;8t\x1b[?6c", std::nullopt},
        {"\x1b[6;17t\x1b[?6c", std::nullopt},
        {"\x1b[?6;17;8t\x1b[?6c", std::nullopt},
    };
    for (const auto& c : cases) {
        std::optional<CellSize> cell = parseTerminalReplies(c.received).cellSize;
        ASSERT_EQ(cell.has_value(), c.cell.has_value()) << testing::PrintToString(c.received);
        if (cell) {
            EXPECT_EQ(cell->width, c.cell->width);
            EXPECT_EQ(cell->height, c.cell->height);
        }
    }
}

TEST(ParseTerminalReplies, TrueColourOnlyWhereTheAttributeComesBackAsSet) {
    const struct {
        std::string_view received;
        bool trueColour;
    } cases[] = {
        {"\x1bP1$r0;48:2::1:2:3m\x1b\\\x1b[?63;4c", true}, // xterm: colon form, no colour space
        {"\x1bP1$r48;2;1;2;3m\x1b\\\x1b[?1c", true},
        {"\x1bP1$r48:2:0:1:2:3m\x1b\\\x1b[?1c", true}, // with a colour space
        {"\x1bP1$r0;48;5;16m\x1b\\\x1b[?1c", false},    // brought down to the palette
        {"\x1bP0$r\x1b\\\x1b[?65;1;9c", false},         // VTE: not a valid request to it
        {"\x1bP1$r48;2;1;2;4m\x1b\\\x1b[?1c", false},   // another colour
        {"\x1bP1$r38;2;1;2;3m\x1b\\\x1b[?1c", false},   // the foreground
        {"\x1bP1$r48;2;1;2;3m\x1b[?1c", false},          // the string never ended
        {"\x1b[?1;2c", false},                            // urxvt: no answer at all
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseTerminalReplies(c.received).trueColour, c.trueColour)
            << testing::PrintToString(c.received);
}

TEST(ReportedColour, TakesOnlyAWellFormedAnswer) {
    const struct {
        std::string_view received;
        int which;
        std::optional<std::string> colour;
    } cases[] = {
        {"\x1b]10;rgb:1616/c6c6/0c0c\x07\x1b]11;rgb:0c0c/0c0c/0c0c\x07\x1b[?1c", 10,
         "rgb:1616/c6c6/0c0c"},
        {"\x1b]10;rgb:1616/c6c6/0c0c\x07\x1b]11;rgb:0c0c/0c0c/0c0c\x07\x1b[?1c", 11,
         "rgb:0c0c/0c0c/0c0c"},
        {"\x1b]11;rgb:ff/ff/ff\x1b\\", 11, "rgb:ff/ff/ff"}, // ended by ST, two digits
        {"\x1b[?62;c", 10, std::nullopt},                   // not answered
        {"\x1b]10;rgb:1616/c6c6/0c0c", 10, std::nullopt},   // cut off
        {"\x1b]10;rgb:16/c6\x07", 10, std::nullopt},        // two parts
        {"\x1b]10;rgb:16//0c\x07", 10, std::nullopt},
        {"\x1b]10;rgb:16/c6/0c\x1b[8;1;1t\x07", 10, std::nullopt}, // would be written back
        {"\x1b]10;rgb:11111/2/3\x07", 10, std::nullopt},           // too long to be a colour
        {"\x1b]10;cmy:0/0/0\x07", 10, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(reportedColour(c.received, c.which), c.colour)
            << testing::PrintToString(c.received);
}

} // namespace
} // namespace veloria
