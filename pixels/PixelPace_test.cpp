#include "pixels/PixelPace.h"

#include "pixels/GalleryGeometry.h"
#include "pixels/Presenter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
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
    PaceClock::time_point t{};
    Presenter presenter(
        surface, canvas, [&](std::string_view b) { written += b; }, [&] { return t; });
    t = presenter.present(10, {}, false);
    t = presenter.present(10, {}, false); // nothing new
    t = presenter.present(11, {}, false);
    t = presenter.present(11, {}, true); // resized
    EXPECT_EQ(written, "fff");
    EXPECT_EQ(canvas.invalidations, 1);
    EXPECT_EQ(presenter.counters().framesShown, 3u);
    EXPECT_EQ(presenter.counters().bytesWritten, 3u);
    EXPECT_EQ(presenter.counters().framesDropped, 0u);
}

// Ten seconds of drawing at the pace, the presenter run on its own thread whenever a frame is
// due, its writes taking the terminal's time for the frame it is given. Returns the times
// the frames began.
std::vector<PaceClock::time_point>
presentTenSeconds(Presenter& presenter, PaceClock::time_point& presenterTime,
                  VirtualPaceClock& clock) {
    PixelPace pace(PixelCallsPerSecond, clock);
    std::vector<PaceClock::time_point> starts;
    PaceClock::time_point nextFrame = clock.t;
    presenterTime = clock.t;
    std::uint64_t drawn = 0;
    while (seconds(clock.t) < 10.0) {
        pace.tick();
        ++drawn;
        while (nextFrame <= clock.t) {
            presenterTime = std::max(presenterTime, nextFrame);
            starts.push_back(presenterTime);
            nextFrame = presenter.present(drawn, {}, false);
        }
    }
    EXPECT_NEAR(static_cast<double>(drawn), 10 * PixelCallsPerSecond,
                static_cast<double>(PixelPace::Block));
    return starts;
}

TEST(Presenter, DropsFramesWhileASlowTerminalReadsButTheDrawingKeepsItsPace) {
    VirtualPaceClock clock;
    PixelSurface surface{GalleryWindow};
    CountingCanvas canvas;
    PaceClock::time_point presenterTime;
    // The terminal takes 100 ms to read each frame: three frame times.
    Presenter presenter(
        surface, canvas, [&](std::string_view) { presenterTime += 100ms; },
        [&] { return presenterTime; });
    presentTenSeconds(presenter, presenterTime, clock);
    const auto& c = presenter.counters();
    EXPECT_NEAR(static_cast<double>(c.framesShown), 100.0, 2.0);   // one per 100 ms
    EXPECT_NEAR(static_cast<double>(c.framesDropped), 200.0, 4.0); // two of every three
}

TEST(Presenter, FramesFollowWhatTheTerminalTakes) {
    const struct {
        const char* name;
        std::vector<std::chrono::milliseconds> takes; // per frame, in turn
        double meanGap, tolerance, shortestGap;        // between frames' starts, in ms
    } cases[] = {
        {"a fast terminal", {2ms}, 1000.0 / 30, 0.5, 1000.0 / 30 - 0.5},
        {"a slow terminal", {100ms}, 100.0, 1.0, 99.0},
        // Alternately quick and slow: after a quick frame the next waits for the rate the
        // terminal takes frames at, rather than following at once and then waiting long.
        {"a terminal that takes frames unevenly", {10ms, 110ms}, 82.0, 4.0, 50.0},
    };
    for (const auto& c : cases) {
        VirtualPaceClock clock;
        PixelSurface surface{GalleryWindow};
        CountingCanvas canvas;
        PaceClock::time_point presenterTime;
        std::size_t frame = 0;
        Presenter presenter(
            surface, canvas,
            [&](std::string_view) { presenterTime += c.takes[frame++ % c.takes.size()]; },
            [&] { return presenterTime; });
        auto starts = presentTenSeconds(presenter, presenterTime, clock);
        // Past the first second, in which the rate settles.
        std::vector<double> gaps;
        for (std::size_t i = 1; i < starts.size(); ++i)
            if (seconds(starts[i - 1]) > 1.0)
                gaps.push_back(std::chrono::duration<double, std::milli>(starts[i] - starts[i - 1])
                                   .count());
        ASSERT_FALSE(gaps.empty()) << c.name;
        double mean = std::accumulate(gaps.begin(), gaps.end(), 0.0) / gaps.size();
        EXPECT_NEAR(mean, c.meanGap, c.tolerance) << c.name;
        EXPECT_GE(*std::min_element(gaps.begin(), gaps.end()), c.shortestGap) << c.name;
    }
}

} // namespace
} // namespace veloria
