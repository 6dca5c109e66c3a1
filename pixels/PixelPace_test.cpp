#include "pixels/PixelPace.h"

#include "pixels/GalleryGeometry.h"
#include "pixels/Presenter.h"

#include <gtest/gtest.h>

#include <vector>

namespace veloria {
namespace {

using namespace std::chrono_literals;

// Virtual time: sleeping moves it forward at once; a test may also let time pass as if work
// had been done.
class VirtualPaceClock final : public PaceClock {
public:
    time_point now() override { return t; }
    void sleepUntil(time_point when) override {
        if (when > t) t = when;
        ++sleeps;
    }
    time_point t{};
    int sleeps = 0;
};

double seconds(PaceClock::time_point t) {
    return std::chrono::duration<double>(t.time_since_epoch()).count();
}

TEST(PixelPace, CallsCompleteNoEarlierThanTheirTimeOnTheSchedule) {
    VirtualPaceClock clock;
    clock.t += 1s; // the first call is at t0 = 1 s
    PixelPace pace(1000, clock);
    for (int k = 1; k <= 5000; ++k) {
        pace.tick();
        ASSERT_GE(seconds(clock.t), 1.0 + k / 1000.0 - 1e-9) << k;
    }
    // ...and no later than the end of the block that holds them.
    EXPECT_LE(seconds(clock.t), 1.0 + (5000 + PixelPace::Block) / 1000.0);
}

TEST(PixelPace, DelaysAreMadeUpInsteadOfAddingUp) {
    VirtualPaceClock clock;
    PixelPace pace(1000, clock);
    for (int k = 1; k <= 100000; ++k) {
        pace.tick();
        if (k % 20000 == 0) clock.t += 2s; // a slow picture load, five times over
    }
    // 100,000 calls at 1,000 a second take 100 s, the ten seconds of loads included.
    EXPECT_NEAR(seconds(clock.t), 100.0, PixelPace::Block / 1000.0 + 2.0);
}

// A canvas that sends one byte per changed frame and counts its invalidations.
class CountingCanvas final : public TerminalCanvas {
public:
    void encodeFrame(const PixelSurface&, const TerminalGeometry&, std::string& out) override {
        out += 'f';
    }
    void invalidate() override { ++invalidations; }
    int invalidations = 0;
};

TEST(Presenter, ShowsAFrameOnlyWhenSomethingWasDrawnOrTheTerminalChanged) {
    PixelSurface surface{GalleryWindow};
    CountingCanvas canvas;
    std::string written;
    Presenter presenter(surface, canvas, [&](std::string_view b) { written += b; });
    PaceClock::time_point t{};
    t = presenter.present(t, 10, {}, false);
    t = presenter.present(t, 10, {}, false); // nothing new
    t = presenter.present(t, 11, {}, false);
    t = presenter.present(t, 11, {}, true); // resized
    EXPECT_EQ(written, "fff");
    EXPECT_EQ(canvas.invalidations, 1);
    EXPECT_EQ(presenter.counters().framesShown, 3u);
    EXPECT_EQ(presenter.counters().bytesWritten, 3u);
    EXPECT_EQ(presenter.counters().framesDropped, 0u);
}

TEST(Presenter, DropsFramesWhileASlowTerminalReadsButTheDrawingKeepsItsPace) {
    VirtualPaceClock clock;
    PixelPace pace(PixelCallsPerSecond, clock);
    PixelSurface surface{GalleryWindow};
    CountingCanvas canvas;
    // The terminal takes 100 ms to read each frame: three frame times.
    auto writerTime = 0ms;
    Presenter presenter(surface, canvas, [&](std::string_view) { writerTime += 100ms; });
    // Ten seconds of drawing at the pace, the presenter run whenever a frame is due (its
    // writes take the terminal's time, on the presenter's own thread).
    PaceClock::time_point presenterTime = clock.t, nextFrame = clock.t;
    std::uint64_t drawn = 0;
    while (seconds(clock.t) < 10.0) {
        pace.tick();
        ++drawn;
        while (nextFrame <= clock.t) {
            presenterTime = std::max(presenterTime, nextFrame);
            writerTime = 0ms;
            nextFrame = presenter.present(presenterTime, drawn, {}, false);
            presenterTime += writerTime;
            nextFrame = std::max(nextFrame, presenterTime);
        }
    }
    EXPECT_NEAR(static_cast<double>(drawn), 10 * PixelCallsPerSecond,
                static_cast<double>(PixelPace::Block));
    const auto& c = presenter.counters();
    EXPECT_NEAR(static_cast<double>(c.framesShown), 100.0, 2.0);   // one per 100 ms
    EXPECT_NEAR(static_cast<double>(c.framesDropped), 200.0, 4.0); // two of every three
}

} // namespace
} // namespace veloria
