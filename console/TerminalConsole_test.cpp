#include "console/TerminalConsole.h"

#include "console/Cp1251.h"
#include "tests/fakes/RecordingTerminal.h"

#include <gtest/gtest.h>

#include <memory>

namespace veloria {
namespace {

using testing::RecordingTerminal;

TerminalDescription aTerminal(std::string charset = "UTF-8") {
    TerminalDescription terminal;
    terminal.escapes = true;
    terminal.termNamed = true;
    terminal.charset = std::move(charset);
    return terminal;
}

struct Fixture {
    explicit Fixture(TerminalDescription description)
        : terminal(std::make_shared<RecordingTerminal>(std::move(description))), console(terminal) {
    }
    std::shared_ptr<RecordingTerminal> terminal;
    TerminalConsole console;
};

TEST(TerminalConsole, ConvertsTheCodePageToTheTerminalsCharset) {
    const struct {
        const char* charset;
        std::string_view text;
        std::string shown;
    } cases[] = {
        {"UTF-8", cp1251<"Луч мелькнёт, 90-х!">(), "Луч мелькнёт, 90-х!"},
        {"KOI8-R", cp1251<"ёЖ">(), "\xa3\xf6"},
        // A charset without Cyrillic gets the letters spelt in Latin ones.
        {"ANSI_X3.4-1968", cp1251<"Во времена, 1990">(), "Vo vremena, 1990"},
    };
    for (const auto& c : cases) {
        Fixture f(aTerminal(c.charset));
        f.console.setOutputCodePage(1251);
        f.console.write(c.text);
        EXPECT_EQ(f.terminal->written, "") << c.charset << ": nothing is sent before a flush";
        f.console.flush();
        EXPECT_EQ(f.terminal->written, c.shown) << c.charset;
    }
}

TEST(TerminalConsole, AsksForTheSizeAndUndoesItWithTheSizeItFirstFound) {
    Fixture f(aTerminal());
    f.terminal->startSize = TerminalGeometry{80, 24, 0, 0};
    f.console.setSize(55, 20);
    f.console.setSize(150, 51);
    EXPECT_EQ(f.terminal->written, "\x1b[8;20;55t\x1b[?7l\x1b[8;51;150t\x1b[?7l");
    EXPECT_EQ(f.terminal->undo(), "\x1b[8;24;80t\x1b[?7h");
}

// The colours the terminal reports, and the requests that give them back.
constexpr std::string_view ReportedColours =
    "\x1b]10;rgb:d0d0/d0d0/d0d0\x07\x1b]11;rgb:1010/1010/2020\x07\x1b[?62;22c";
constexpr std::string_view ColoursPutBack =
    "\x1b]10;rgb:d0d0/d0d0/d0d0\x07\x1b]11;rgb:1010/1010/2020\x07";
constexpr std::string_view DefaultsToGreenOnBlack =
    "\x1b]10;rgb:16/c6/0c\x07\x1b]11;rgb:0c/0c/0c\x07";
constexpr std::string_view PaletteGreenOnBlack = "\x1b[92;40m";
constexpr std::string_view ExactGreenOnBlack = "\x1b[38;2;22;198;12m\x1b[48;2;12;12;12m";

TEST(TerminalConsole, GreenOnBlackIsUndoneToTheColoursTheTerminalHad) {
    const struct {
        const char* name;
        bool trueColour, insideScreen;
        std::string_view answers;
        std::string written, undo;
        bool asked;
    } cases[] = {
        {"palette terminal", false, false, ReportedColours,
         std::string(DefaultsToGreenOnBlack) + std::string(PaletteGreenOnBlack),
         "\x1b[0m" + std::string(ColoursPutBack), true},
        {"truecolour terminal", true, false, ReportedColours,
         std::string(DefaultsToGreenOnBlack) + std::string(PaletteGreenOnBlack) +
             std::string(ExactGreenOnBlack),
         "\x1b[0m" + std::string(ColoursPutBack), true},
        // urxvt neither reports its colours nor takes the resets: the default colours are
        // left alone, as nothing could give them back.
        {"a terminal that does not report its colours", false, false, "\x1b[?1;2c",
         std::string(PaletteGreenOnBlack), "\x1b[0m", true},
        {"a terminal that reports one colour only", false, false,
         "\x1b]10;rgb:d0d0/d0d0/d0d0\x07\x1b[?1;2c", std::string(PaletteGreenOnBlack), "\x1b[0m",
         true},
        // GNU screen mangles the default-colour requests: attributes only, never asked.
        {"GNU screen", false, true, ReportedColours, std::string(PaletteGreenOnBlack), "\x1b[0m",
         false},
    };
    for (const auto& c : cases) {
        TerminalDescription description = aTerminal();
        description.trueColour = c.trueColour;
        description.insideScreen = c.insideScreen;
        Fixture f(description);
        f.terminal->answers = c.answers;
        f.console.setColors(0x0A);
        EXPECT_EQ(f.terminal->written, c.written) << c.name;
        EXPECT_EQ(f.terminal->undo(), c.undo) << c.name;
        EXPECT_EQ(!f.terminal->asked.empty(), c.asked) << c.name;
    }
}

TEST(TerminalConsole, SendsNoSequencesWhereTheTerminalTakesNone) {
    TerminalDescription description = aTerminal();
    description.escapes = false;
    Fixture f(description);
    f.terminal->startSize = TerminalGeometry{80, 24, 0, 0};
    f.console.setOutputCodePage(1251);
    f.console.setSize(150, 51);
    f.console.setColors(0x0A);
    f.console.write(cp1251<"VELORIA!\n">());
    f.console.readKey();
    EXPECT_EQ(f.terminal->written, "VELORIA!\n");
    EXPECT_TRUE(f.terminal->asked.empty());
    EXPECT_TRUE(f.terminal->settings.empty());
}

TEST(TerminalConsole, TheKeyWaitShowsEverythingWrittenFirst) {
    Fixture f(aTerminal());
    f.console.write("3... 2... 1...");
    f.console.readKey();
    EXPECT_EQ(f.terminal->written, "3... 2... 1...");
    EXPECT_EQ(f.terminal->keysRead, 1);
}

} // namespace
} // namespace veloria
