#include "record/RecordProgress.h"

#include <gtest/gtest.h>

#include <vector>

namespace veloria {
namespace {

TEST(RecordProgress, ALineSaysTheMovementHowFarHowFastAndHowLongIsLeft) {
    struct Case {
        const char* movement;
        std::int64_t frame, frames;
        double framesPerSecond;
        int width;
        std::string line;
    };
    const std::string bar17Half = " [" + std::string(8, '#') + std::string(9, '-') + "]";
    const std::vector<Case> cases = {
        // Before the speed is known, no guess at the time left; the bar takes up to 40.
        {"opening", 0, 20000, 0, 79,
         "recording opening          " + std::string(" [") + std::string(40, '-') + "]   0 %"},
        {"gallery", 10000, 20000, 200, 79,
         "recording gallery          " + bar17Half + "  50 %   200 frames/s  0:50 left"},
        {"last picture", 20000, 20000, 150, 79,
         "recording last picture     " + std::string(" [") + std::string(17, '#') +
             "] 100 %   150 frames/s  0:00 left"},
        // A narrow line drops the bar before the figures.
        {"gallery", 5000, 20000, 100, 60,
         "recording gallery            25 %   100 frames/s  2:30 left"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        std::string line =
            progressLine({c.movement, c.frame, c.frames, c.framesPerSecond}, c.width);
        EXPECT_EQ(line, c.line);
        EXPECT_LE(static_cast<int>(line.size()), c.width);
    }
}

TEST(RecordProgress, TimesAreMinutesAndSeconds) {
    EXPECT_EQ(minutesAndSeconds(0), "0:00");
    EXPECT_EQ(minutesAndSeconds(59.6), "1:00");
    EXPECT_EQ(minutesAndSeconds(331.4), "5:31");
    EXPECT_EQ(minutesAndSeconds(-3), "0:00");
}

TEST(RecordProgress, ALogGetsOneLinePerMovementAndNoTerminalControls) {
    char buffer[4096] = {};
    std::FILE* out = fmemopen(buffer, sizeof buffer, "w");
    {
        RecordProgress progress(out, false, 100, {{"opening", 0}, {"gallery", 50}});
        for (int k = 0; k < 100; ++k) progress.frameDone(k);
    }
    std::fclose(out);
    std::string text = buffer;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2) << text;
    EXPECT_NE(text.find("recording opening"), std::string::npos) << text;
    EXPECT_NE(text.find("recording gallery"), std::string::npos) << text;
    EXPECT_EQ(text.find('\r'), std::string::npos) << text;
    EXPECT_EQ(text.find('\x1b'), std::string::npos) << text;
}

} // namespace
} // namespace veloria
