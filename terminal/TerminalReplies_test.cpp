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
