#include "terminal/TerminalDescription.h"

#include "terminal/TerminalReplies.h"

#include <gtest/gtest.h>
#include <ostream>

namespace veloria {
namespace {

const TerminalEnvironment XtermEnvironment{true, "xterm", "", "", false};
const TerminalEnvironment TmuxEnvironment{true, "tmux-256color", "", "tmux", false, true, false};
// COLORTERM comes from the terminal GNU screen runs in.
const TerminalEnvironment ScreenEnvironment{true, "screen", "truecolor", "", false, false, true};
const TerminalEnvironment KittyEnvironment{true, "xterm-kitty", "truecolor", "", false};

TEST(DescribeTerminal, OneDescriptionForTheTextAndTheGallery) {
    const struct {
        const char* name;
        TerminalEnvironment environment;
        bool escapes, trueColour;
        bool asked; // whether the terminal itself is asked for truecolour
    } cases[] = {
        {"xterm", XtermEnvironment, true, false, true},
        {"COLORTERM says truecolour", {true, "xterm-256color", "24bit", "", false}, true, true,
         false},
        // kitty shows truecolour without COLORTERM; its text and its gallery both know it.
        {"kitty without COLORTERM", {true, "xterm-kitty", "", "", false}, true, true, false},
        {"VTE", {true, "xterm-256color", "", "", true}, true, true, false},
        {"urxvt", {true, "rxvt-unicode-256color", "rxvt-xpm", "", false}, true, false, true},
        {"tmux", TmuxEnvironment, true, true, false},
        {"GNU screen in a truecolour terminal", ScreenEnvironment, true, false, false},
        {"TERM unset", {true, std::nullopt, "", "", false}, true, false, true},
        {"dumb terminal", {true, "dumb", "truecolor", "", false}, false, true, false},
        {"not a terminal", {false, "xterm", "", "", false}, false, false, false},
    };
    for (const auto& c : cases) {
        TerminalDescription terminal = describeTerminal(c.environment);
        EXPECT_EQ(terminal.escapes, c.escapes) << c.name;
        EXPECT_EQ(terminal.trueColour, c.trueColour) << c.name;
        EXPECT_EQ(asksForTrueColour(terminal), c.asked) << c.name;
    }
}

struct ReplyCase {
    const char* name;
    std::string received;
    TerminalEnvironment environment;
    CanvasKind kind;
    GraphicsLimit sixelLimit;
};

// Named in test output by its description, not by its bytes (which include padding).
void PrintTo(const ReplyCase& c, std::ostream* out) {
    *out << c.name;
}

const ReplyCase Cases[] = {
    {"xterm vt340 with sixel",
     "\x1b[?63;1;2;4;6;9;15;16;22;28c",
     XtermEnvironment,
     CanvasKind::Sixel,
     {1000, 1000}},
    {"xterm with graphics limit",
     "\x1b[?2;0;1200;900S\x1b[?63;1;2;4;6;9;15;16;22;28c",
     XtermEnvironment,
     CanvasKind::Sixel,
     {1200, 900}},
    {"failed graphics query keeps the default",
     "\x1b[?2;3;0;0S\x1b[?62;4c",
     XtermEnvironment,
     CanvasKind::Sixel,
     {1000, 1000}},
    {"xterm without sixel, 256 colours",
     "\x1b[?64;1;2;6;9;15;18;21;22c",
     XtermEnvironment,
     CanvasKind::HalfBlocks256,
     {}},
    {"xterm without sixel, COLORTERM",
     "\x1b[?64;1;2;6;22c",
     {true, "xterm-256color", "truecolor", "", false},
     CanvasKind::HalfBlocksTrueColour,
     {}},
    {"tmux answers only its attributes",
     "\x1b[?1;2c",
     TmuxEnvironment,
     CanvasKind::HalfBlocksTrueColour,
     {}},
    {"GNU screen in a truecolour terminal still shows 256 colours",
     "\x1b[?1;2c",
     ScreenEnvironment,
     CanvasKind::HalfBlocks256,
     {}},
    {"kitty", "\x1b_Gi=31;OK\x1b\\\x1b[?62;c", KittyEnvironment, CanvasKind::Kitty, {}},
    {"kitty refusing the image",
     "\x1b_Gi=31;EINVAL:bad\x1b\\\x1b[?62;c",
     KittyEnvironment,
     CanvasKind::HalfBlocksTrueColour,
     {}},
    {"kitty wins over sixel",
     "\x1b_Gi=31;OK\x1b\\\x1b[?62;4c",
     KittyEnvironment,
     CanvasKind::Kitty,
     {}},
    {"a VT132-class first number is not an attribute",
     "\x1b[?4;6c",
     XtermEnvironment,
     CanvasKind::HalfBlocks256,
     {}},
    {"keys typed among the answers",
     "ab\x1b[A\x1b[12;40R\x1bOP\x1b[?63;4c",
     XtermEnvironment,
     CanvasKind::Sixel,
     {1000, 1000}},
    {"no answer", "", XtermEnvironment, CanvasKind::HalfBlocks256, {}},
    {"no answer, VTE",
     "",
     {true, "xterm-256color", "", "", true},
     CanvasKind::HalfBlocksTrueColour,
     {}},
    {"no answer, alacritty",
     "",
     {true, "alacritty", "", "", false},
     CanvasKind::HalfBlocksTrueColour,
     {}},
    {"TERM unset, no answer", "", {true, std::nullopt, "", "", false}, CanvasKind::None, {}},
    {"TERM unset, answered",
     "\x1b[?62;22c",
     {true, std::nullopt, "24bit", "", false},
     CanvasKind::HalfBlocksTrueColour,
     {}},
    {"dumb terminal", "\x1b[?63;4c", {true, "dumb", "", "", false}, CanvasKind::None, {}},
    {"not a terminal", "", {false, "xterm", "truecolor", "", false}, CanvasKind::None, {}},
};

class ReplyTable : public testing::TestWithParam<ReplyCase> {};

TEST_P(ReplyTable, ChoosesTheCanvas) {
    const ReplyCase& c = GetParam();
    CanvasChoice choice =
        chooseCanvas(describeTerminal(c.environment), parseTerminalReplies(c.received));
    EXPECT_EQ(choice.kind, c.kind);
    if (c.kind == CanvasKind::Sixel) {
        EXPECT_EQ(choice.sixelLimit.width, c.sixelLimit.width);
        EXPECT_EQ(choice.sixelLimit.height, c.sixelLimit.height);
    }
}

INSTANTIATE_TEST_SUITE_P(Replies, ReplyTable, testing::ValuesIn(Cases), [](const auto& info) {
    std::string name = info.param.name;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
});

TEST(TerminalQueries, KittyIsNotAskedInsideAMultiplexer) {
    // tmux and GNU screen would take the kitty query's APC string for the window title.
    for (const auto* environment : {&TmuxEnvironment, &ScreenEnvironment}) {
        std::string queries = graphicsQuestions(describeTerminal(*environment));
        EXPECT_EQ(queries.find("\x1b_"), std::string::npos) << *environment->term;
        EXPECT_EQ(queries, std::string(SixelLimitQuery) + std::string(CellSizeQuery));
    }
    for (const auto* environment : {&XtermEnvironment, &KittyEnvironment}) {
        std::string queries = graphicsQuestions(describeTerminal(*environment));
        EXPECT_EQ(queries, std::string(KittyQuery) + std::string(SixelLimitQuery) +
                               std::string(CellSizeQuery))
            << *environment->term;
    }
}

} // namespace
} // namespace veloria

namespace veloria {
namespace {

// Wine's console inside a terminal passes sequences on only in pieces shorter than its lines,
// so a sixel or kitty picture, one long sequence, would reach the terminal cut.
TEST(TerminalQueries, BehindATextConsolePicturesGoAsCells) {
    TerminalDescription terminal = describeTerminal(XtermEnvironment);
    terminal.textConsole = true;
    terminal.trueColour = true;
    EXPECT_EQ(graphicsQuestions(terminal), "");
    for (const char* answers : {"\x1b[?63;1;2;4;6c", "\x1b_Gi=31;OK\x1b\\\x1b[?62;4c"})
        EXPECT_EQ(chooseCanvas(terminal, parseTerminalReplies(answers)).kind,
                  CanvasKind::HalfBlocksTrueColour)
            << answers;
}

} // namespace
} // namespace veloria

namespace veloria {
namespace {

TEST(TerminalQueries, SharedMemoryIsAskedOfAKittyTerminal) {
    const std::string object = "/veloria-test";
    // Base64 of the name, in a query of its own id, with the transmission it asks about.
    EXPECT_EQ(kittySharedMemoryQuery(object),
              "\x1b_Gi=33,s=1,v=1,a=q,t=s,f=24;L3ZlbG9yaWEtdGVzdA==\x1b\\");

    const struct {
        const char* name;
        const char* answers;
        bool sharedMemory;
    } cases[] = {
        {"kitty, both taken", "\x1b_Gi=31;OK\x1b\\\x1b_Gi=33;OK\x1b\\\x1b[?62;c", true},
        {"the object not read", "\x1b_Gi=31;OK\x1b\\\x1b_Gi=33;ENOENT:no such file\x1b\\\x1b[?62;c",
         false},
        {"no answer to it", "\x1b_Gi=31;OK\x1b\\\x1b[?62;c", false},
    };
    for (const auto& c : cases) {
        CanvasChoice choice =
            chooseCanvas(describeTerminal(KittyEnvironment), parseTerminalReplies(c.answers));
        EXPECT_EQ(choice.kind, CanvasKind::Kitty) << c.name;
        EXPECT_EQ(choice.sharedMemory, c.sharedMemory) << c.name;
    }
}

} // namespace
} // namespace veloria

namespace veloria {
namespace {

TEST(TerminalQueries, SixelOverlaysWhereTheTerminalLeavesTheirBackgroundAlone) {
    const char* sixel = "\x1b[?63;1;2;4;6c";
    TerminalEnvironment mlterm{true, "mlterm", "", "", false};
    mlterm.mlterm = true;
    EXPECT_TRUE(chooseCanvas(describeTerminal(XtermEnvironment), parseTerminalReplies(sixel))
                    .sixelOverlays);
    CanvasChoice choice = chooseCanvas(describeTerminal(mlterm), parseTerminalReplies(sixel));
    EXPECT_EQ(choice.kind, CanvasKind::Sixel);
    EXPECT_FALSE(choice.sixelOverlays);
    // TERM alone names it too.
    mlterm.mlterm = false;
    EXPECT_FALSE(chooseCanvas(describeTerminal(mlterm), parseTerminalReplies(sixel)).sixelOverlays);
}

} // namespace
} // namespace veloria
