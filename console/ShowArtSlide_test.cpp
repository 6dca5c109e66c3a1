#include "console/ShowArtSlide.h"
#include "tests/fakes/RecordingPlatform.h"

#include <gtest/gtest.h>

namespace veloria {
namespace {

using testing::RecordingConsole;
using testing::ShowLog;
using testing::VirtualClock;

std::vector<std::string> sequenceOf(const ShowLog& log) {
    std::vector<std::string> out;
    for (const auto& c : log.calls) out.push_back(c.call + ":" + c.argument);
    return out;
}

TEST(ShowArtSlide, WritesEachLineVisiblyThenPausesAndHoldsAfterTheLast) {
    ShowLog log;
    RecordingConsole console{log};
    VirtualClock clock{log};
    showArtSlide(console, clock, {"ab", "ab"}, 30, 7000);
    // A repeated line is written each time it occurs.
    EXPECT_EQ(sequenceOf(log),
              (std::vector<std::string>{"write:ab", "write:\n", "flush:", "Sleep:30", "write:ab",
                                        "write:\n", "flush:", "Sleep:30", "Sleep:7000"}));
}

TEST(ShowArtSlide, EmptySlideWritesNothingAndWaitsTheHold) {
    ShowLog log;
    RecordingConsole console{log};
    VirtualClock clock{log};
    showArtSlide(console, clock, {}, 30, 7000);
    EXPECT_EQ(sequenceOf(log), (std::vector<std::string>{"Sleep:7000"}));
}

} // namespace
} // namespace veloria
