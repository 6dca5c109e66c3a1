#include "console/TypeText.h"
#include "tests/fakes/RecordingPlatform.h"

#include <gtest/gtest.h>
#include <ostream>

namespace veloria {
namespace {

using testing::RecordingConsole;
using testing::ShowLog;
using testing::VirtualClock;

struct Typing {
    ShowLog log;
    RecordingConsole console{log};
    VirtualClock clock{log};

    std::string type(std::string_view text, unsigned delay = 10) {
        typeText(console, clock, text, delay);
        return log.written();
    }
};

struct BreakCase {
    const char* name;
    std::string text;
    std::string expected;
};

// Named in test output by its description, not by its bytes (which include padding).
void PrintTo(const BreakCase& c, std::ostream* out) {
    *out << c.name;
}

// Builds a text with a space at each given 1-based position and letters elsewhere.
std::string lettersWithSpacesAt(std::size_t length, std::initializer_list<std::size_t> spaces) {
    std::string text(length, 'x');
    for (std::size_t p : spaces) text[p - 1] = ' ';
    return text;
}

class LineBreaking : public ::testing::TestWithParam<BreakCase> {};

TEST_P(LineBreaking, BreaksOnlyAtTheFirstSpacePastColumnForty) {
    Typing t;
    EXPECT_EQ(t.type(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, LineBreaking,
    ::testing::Values(
        BreakCase{"Empty", "", "    \n"},
        // The indent counts: a space at position 37 is at column 40, not past it.
        BreakCase{"SpaceAt37StaysOnTheLine", lettersWithSpacesAt(60, {37}),
                  "    " + lettersWithSpacesAt(60, {37}) + "\n"},
        BreakCase{"SpaceAt38Breaks", lettersWithSpacesAt(60, {38}),
                  "    " + lettersWithSpacesAt(38, {38}) + "\n" + std::string(22, 'x') + "\n"},
        BreakCase{"LongWordIsNeverBroken", std::string(120, 'x'),
                  "    " + std::string(120, 'x') + "\n"},
        // On later lines the counter runs one ahead: position 40 stays, 41 breaks.
        BreakCase{"SecondLineSpaceAt40Stays", lettersWithSpacesAt(38 + 50, {38, 38 + 40}),
                  "    " + lettersWithSpacesAt(38, {38}) + "\n" + lettersWithSpacesAt(50, {40}) +
                      "\n"},
        BreakCase{"SecondLineSpaceAt41Breaks", lettersWithSpacesAt(38 + 50, {38, 38 + 41}),
                  "    " + lettersWithSpacesAt(38, {38}) + "\n" + lettersWithSpacesAt(41, {41}) +
                      "\n" + std::string(9, 'x') + "\n"},
        // Bytes above 0x7F are characters like any other, never spaces.
        BreakCase{"HighBytesCountAsOneColumn", std::string(37, '\xE0') + " \xE0",
                  "    " + std::string(37, '\xE0') + " \n\xE0\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TypeTextPauses, FollowEveryCharacterAfterItIsFlushedAndNotTheFinalBreak) {
    Typing t;
    t.type("ab", 7);
    std::vector<std::string> sequence;
    for (const auto& c : t.log.calls) sequence.push_back(c.call + ":" + c.argument);
    EXPECT_EQ(sequence,
              (std::vector<std::string>{"write:    ", "write:a", "flush:", "Sleep:7", "write:b",
                                        "flush:", "Sleep:7", "write:\n", "flush:"}));
}

TEST(TypeTextPauses, EmptyTextDoesNotPause) {
    Typing t;
    t.type("", 170);
    EXPECT_EQ(t.log.nowMs, 0);
}

TEST(TypeTextPauses, TextOfNCharactersPausesNTimesTheDelay) {
    Typing t;
    t.type(lettersWithSpacesAt(100, {10, 50, 90}), 50);
    EXPECT_EQ(t.log.nowMs, 100 * 50);
}

TEST(TypeTextSequence, ConsecutiveTextsAreSeparatedOnlyByTheSecondIndent) {
    Typing t;
    t.type("first");
    EXPECT_EQ(t.type("second"), "    first\n    second\n");
}

} // namespace
} // namespace veloria
