#include "show/Show.h"

#include "console/Cp1251.h"
#include "media/slides/ArtSlides.h"
#include "pixels/Bitmap.h"
#include "show/OpeningTexts.h"
#include "tests/fakes/RecordedShow.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

namespace veloria {
namespace {

using testing::RecordedShow;
using testing::RecordingConsole;
using testing::RecordingMusic;
using testing::RecordingSurface;
using testing::ShowLog;
using testing::VirtualClock;

// Recorded once and shared by the tests that read it.
const RecordedShow& recordedShow() {
    static const RecordedShow show;
    return show;
}

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

// The calls from the music's start on: the movement of the music and the slides.
std::vector<testing::LoggedCall> fromMusic(const ShowLog& log) {
    auto music = std::find_if(log.calls.begin(), log.calls.end(),
                              [](const auto& c) { return c.call == "playMusic"; });
    return {music, log.calls.end()};
}

TEST(ShowOpening, SetsCodePagesThenSizeBeforeAnyTextAndEndsWithTheKeyWait) {
    const RecordedShow& show = recordedShow();
    EXPECT_EQ(
        show.log.controlCalls(),
        (std::vector<std::string>{
            "setInputCodePage 1251", "setOutputCodePage 1251", "setSize 55x20", "playMusic VELORIA",
            "setSize 150x51", "setColors 0A", "setSize 115x51", "GetConsoleWindow",
            "GetDC console-window",
            // A burst of 500,000 dots before each picture's load; each reveal runs on
            // into the next burst.
            "SetPixel 500000", "GetWindowModule console-window", "SetPixel 5500000",
            "GetWindowModule console-window", "SetPixel 5500000", "GetWindowModule console-window",
            "SetPixel 4500000", "GetWindowModule console-window", "SetPixel 4500000",
            "GetWindowModule console-window", "SetPixel 10000000", "readKey"}));
    const auto& calls = show.log.calls;
    auto firstWrite =
        std::find_if(calls.begin(), calls.end(), [](const auto& c) { return c.call == "write"; });
    auto size =
        std::find_if(calls.begin(), calls.end(), [](const auto& c) { return c.call == "setSize"; });
    EXPECT_LT(size, firstWrite);
    EXPECT_EQ(show.exitCode, 0);
}

TEST(ShowOpening, TypesEachTextAtItsOwnPaceForFiftyOneAndAHalfSeconds) {
    const RecordedShow& show = recordedShow();
    std::vector<std::pair<std::string, int>> runs; // (delay, how many pauses in a row)
    for (const auto& c : show.log.calls) {
        if (c.call == "playMusic") break;
        if (c.call != "Sleep") continue;
        if (runs.empty() || runs.back().first != c.argument) runs.push_back({c.argument, 0});
        ++runs.back().second;
    }
    // IntroText1 and IntroText2 share 50 ms, so they form one run of 319 + 484 pauses.
    EXPECT_EQ(runs, (std::vector<std::pair<std::string, int>>{
                        {"170", 10}, {"50", 319 + 484}, {"150", 27}, {"350", 14}, {"100", 8}}));
    auto music = fromMusic(show.log);
    ASSERT_FALSE(music.empty());
    EXPECT_EQ(music.front().atMs, 51600);
}

TEST(ShowOpening, BreaksTheProseIntoTheExpectedLines) {
    const RecordedShow& show = recordedShow();
    auto lines = linesOf(show.log.written());
    lines.resize(1 + 8 + 11 + 1 + 1 + 1);
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

TEST(ShowMusicAndSlides, StartsTheMusicThenWidensAndColoursBeforeTheFirstSlideLine) {
    const RecordedShow& show = recordedShow();
    auto calls = fromMusic(show.log);
    ASSERT_GE(calls.size(), 4u);
    std::vector<std::string> firstFour;
    for (int i = 0; i < 4; ++i) firstFour.push_back(calls[i].call + " " + calls[i].argument);
    EXPECT_EQ(firstFour, (std::vector<std::string>{"playMusic VELORIA", "setSize 150x51",
                                                   "setColors 0A", "write " + ArtSlide1[0]}));
}

TEST(ShowMusicAndSlides, PrintsTheThreeSlidesAndPausesForEachAsLongAsItsLinesAndHold) {
    const RecordedShow& show = recordedShow();
    std::string printed, expected;
    std::vector<std::int64_t> pauses; // per slide: its line pauses and its hold
    std::int64_t current = 0;
    for (const auto& c : fromMusic(show.log)) {
        if (c.call == "write") printed += c.argument;
        if (c.call != "Sleep") continue;
        current += std::stoll(c.argument);
        if (c.argument == "7000") { // the hold ends a slide
            pauses.push_back(current);
            current = 0;
        }
    }
    EXPECT_EQ(pauses, (std::vector<std::int64_t>{8530, 9040, 8950}));
    for (const auto* slide : {&ArtSlide1, &ArtSlide2, &ArtSlide3})
        for (const auto& line : *slide) expected += line + "\n";
    EXPECT_EQ(printed, expected);
}

TEST(ShowGallery, PaintsOnTheWindowTakenOnceWithAllItsPixelCallsAndNoPause) {
    const RecordedShow& show = recordedShow();
    EXPECT_EQ(show.surface.calls, 2500000u + 28000000u);
    EXPECT_EQ(show.surface.wrongDc, 0u);
    EXPECT_EQ(show.surface.outside, 0u);
    EXPECT_EQ(show.log.calls.back().call, "readKey");
    EXPECT_EQ(show.log.calls.back().atMs, 51600 + 26520);
}

TEST(ShowGallery, LeavesTheLastPictureOnTheWindow) {
    // RASKEP is revealed with 15.5 samples per pixel: nearly every pixel of it is drawn.
    const RecordedShow& show = recordedShow();
    Bitmap raskep;
    raskep.LoadFromResourceName(programModule(), "RASKEP");
    int matching = 0;
    for (int y = 0; y < 1000; ++y)
        for (int x = 0; x < 645; ++x)
            matching += show.surface.at(187 + x, 11 + y) == raskep.Pixels(x, y);
    EXPECT_GT(matching, 645 * 1000 * 999 / 1000);
    if (const char* out = std::getenv("VELORIA_TEST_PNG")) show.surface.writePng(out);
}

TEST(ShowGallery, DrawsTheSameShowOnEveryPlatform) {
    // FNV-1a of (x, y, colour) of the gallery's first 10,000 pixels, fixed by the standard's
    // minimal generator: the Windows build checks the same number.
    EXPECT_EQ(recordedShow().surface.hash, 0xf901292dc95bc6beu);
}

TEST(ShowGallery, AMissingPictureEndsTheShowBeforeTheKeyWait) {
#ifdef _WIN32
    GTEST_SKIP() << "a module without the pictures is only made up on POSIX";
#endif
    ShowLog log;
    RecordingConsole console{log};
    VirtualClock clock{log};
    RecordingMusic music{log};
    RecordingSurface surface{log};
    surface.module = nullptr;
    Platform platform{console, clock, music, surface};
    try {
        runShow(platform);
        ADD_FAILURE() << "the show went on";
    } catch (const PictureError& e) {
        EXPECT_STREQ(e.what(), "Resource QIR not found");
    }
    EXPECT_EQ(log.calls.back().call, "GetWindowModule");
    EXPECT_EQ(surface.calls, 500000u);
}

} // namespace
} // namespace veloria
