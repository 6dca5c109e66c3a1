#include "show/Sound.h"

#include "console/Cp1251.h"
#include "show/OpeningTexts.h"
#include "tests/fakes/RecordingConsole.h"

#include <gtest/gtest.h>

#include <sstream>

namespace veloria {
namespace {

using testing::RecordingConsole;
using testing::ShowLog;
using testing::VirtualClock;

struct RecordedShow {
    ShowLog log;
    RecordingConsole console{log};
    VirtualClock clock{log};
    Platform platform{console, clock};
    int exitCode = runShow(platform);
};

std::vector<std::string> linesOf(const std::string& written) {
    std::vector<std::string> lines;
    std::istringstream in(written);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::vector<std::size_t> widthsOf(const std::vector<std::string>& lines) {
    std::vector<std::size_t> widths;
    for (const auto& l : lines) widths.push_back(l.size());
    return widths;
}

TEST(ShowOpening, SetsCodePagesThenSizeBeforeAnyTextAndEndsWithTheKeyWait) {
    RecordedShow show;
    EXPECT_EQ(show.log.controlCalls(),
              (std::vector<std::string>{"setInputCodePage 1251", "setOutputCodePage 1251",
                                        "setSize 55x20", "readKey"}));
    const auto& calls = show.log.calls;
    auto firstWrite =
        std::find_if(calls.begin(), calls.end(), [](const auto& c) { return c.call == "write"; });
    auto size =
        std::find_if(calls.begin(), calls.end(), [](const auto& c) { return c.call == "setSize"; });
    EXPECT_LT(size, firstWrite);
    EXPECT_EQ(show.exitCode, 0);
}

TEST(ShowOpening, TypesEachTextAtItsOwnPaceForFiftyOneAndAHalfSeconds) {
    RecordedShow show;
    std::vector<std::pair<std::string, int>> runs; // (delay, how many pauses in a row)
    for (const auto& c : show.log.calls) {
        if (c.call != "Sleep") continue;
        if (runs.empty() || runs.back().first != c.argument) runs.push_back({c.argument, 0});
        ++runs.back().second;
    }
    // IntroText1 and IntroText2 share 50 ms, so they form one run of 319 + 484 pauses.
    EXPECT_EQ(runs, (std::vector<std::pair<std::string, int>>{
                        {"170", 10}, {"50", 319 + 484}, {"150", 27}, {"350", 14}, {"100", 8}}));
    EXPECT_EQ(show.log.calls.back().call, "readKey");
    EXPECT_EQ(show.log.calls.back().atMs, 51600);
}

TEST(ShowOpening, BreaksTheProseIntoTheExpectedLines) {
    RecordedShow show;
    auto lines = linesOf(show.log.written());
    ASSERT_EQ(lines.size(), 1u + 8 + 11 + 1 + 1 + 1);
    EXPECT_EQ(lines[0], "    LOADING...");
    std::vector<std::string> intro1(lines.begin() + 1, lines.begin() + 9);
    std::vector<std::string> intro2(lines.begin() + 9, lines.begin() + 20);
    EXPECT_EQ(widthsOf(intro1), (std::vector<std::size_t>{42, 42, 42, 42, 51, 44, 48, 12}));
    EXPECT_EQ(widthsOf(intro2),
              (std::vector<std::size_t>{42, 46, 47, 47, 42, 46, 43, 45, 45, 41, 44}));
    EXPECT_EQ(intro1[0], std::string("    ") +
                             std::string(cp1251<"Во времена, когда компьютер собирался ">()));
    EXPECT_EQ(intro1[1].substr(0, 3), std::string(cp1251<"на ">()));
    EXPECT_EQ(lines[20], "    PLEASE, TURN ON THE SOUND!!");
    EXPECT_EQ(lines[21], "    3... 2... 1...");
    EXPECT_EQ(lines[22], "    VELORIA!");
}

} // namespace
} // namespace veloria
