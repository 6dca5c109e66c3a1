#include "media/music/Mastering.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace veloria::music {
namespace {

constexpr double Rate = 44100.0;
constexpr double Pi = 3.141592653589793;

// `seconds` of a sine of `amplitude` at `hz` in both channels.
StereoSignal sine(double hz, double amplitude, double seconds) {
    StereoSignal s;
    for (int i = 0; i < static_cast<int>(seconds * Rate); ++i) {
        float v = static_cast<float>(amplitude * std::sin(2.0 * Pi * hz * i / Rate));
        s.left.push_back(v);
        s.right.push_back(v);
    }
    return s;
}

TEST(IntegratedLoudness, ASineAt1kHzReadsItsLevelInBothChannels) {
    // BS.1770 is calibrated so that a 997 Hz sine at 0 dBFS in one channel reads -3.01 LUFS;
    // in both channels that makes 0 LUFS, so its loudness is its peak level.
    for (double db : {-6.0, -20.0, -40.0}) {
        double amplitude = std::pow(10.0, db / 20.0);
        EXPECT_NEAR(integratedLoudness(sine(997.0, amplitude, 5.0), Rate), db, 0.05) << db;
    }
}

TEST(IntegratedLoudness, SilenceAndQuietPassagesAreGatedOut) {
    StereoSignal s = sine(997.0, 0.1, 5.0); // -20 LUFS
    s.left.resize(s.left.size() * 2, 0.0f); // five seconds of silence
    s.right.resize(s.right.size() * 2, 0.0f);
    StereoSignal quiet = sine(997.0, 0.001, 5.0); // -60 LUFS, under the relative gate
    s.left.insert(s.left.end(), quiet.left.begin(), quiet.left.end());
    s.right.insert(s.right.end(), quiet.right.begin(), quiet.right.end());
    // Ungated, the mean would be -24.8 LUFS; only the blocks that straddle the end of the
    // sine, partly filled, pull the gated figure a little under -20.
    EXPECT_NEAR(integratedLoudness(s, Rate), -20.0, 0.2);
    EXPECT_EQ(
        integratedLoudness(
            StereoSignal{std::vector<float>(44100, 0.0f), std::vector<float>(44100, 0.0f)}, Rate),
        -INFINITY);
}

TEST(InterSamplePeaks, FindPeaksThatFallBetweenSamples) {
    // A sine at a quarter of the rate, sampled at 45 degrees off its crests: every sample
    // reads 0.707 while the wave itself reaches 1.
    StereoSignal s;
    for (int i = 0; i < 256; ++i) {
        float v = static_cast<float>(std::sin(Pi / 2.0 * i + Pi / 4.0));
        s.left.push_back(v);
        s.right.push_back(0.0f);
    }
    std::vector<float> peaks = interSamplePeaks(s);
    EXPECT_NEAR(*std::max_element(peaks.begin() + 32, peaks.end() - 32), 1.0, 0.01);
}

TEST(Limiter, HoldsEveryPeakUnderTheCeilingAndRecovers) {
    std::vector<float> peaks(20000, 0.5f);
    std::fill(peaks.begin() + 5000, peaks.begin() + 5010, 2.0f); // a burst 4x the ceiling
    const double ceiling = 0.5;
    std::vector<float> gains = limiterGains(peaks, 1.0, ceiling, 64, 0.999);
    for (size_t i = 0; i < peaks.size(); ++i) {
        ASSERT_LE(gains[i] * peaks[i], ceiling * 1.0001) << i;
        ASSERT_LE(gains[i], 1.0f) << i;
    }
    EXPECT_NEAR(gains[5005], 0.25, 1e-6);
    EXPECT_GT(gains[4900], 0.999f);      // untouched before the look-ahead window
    EXPECT_GT(gains[19999], 0.999f);     // recovered
    for (size_t i = 4940; i < 5000; ++i) // ramps down, no step
        EXPECT_LT(std::fabs(gains[i] - gains[i - 1]), 0.02) << i;
}

TEST(Pcm16, RoundsToNearestAndNeverWritesFullScale) {
    struct Case {
        double sample, dither;
        int16_t code;
    };
    for (Case c : {Case{0.0, 0.0, 0}, Case{0.5, 0.0, 16384}, Case{-0.5, 0.0, -16384},
                   Case{0.0, 0.49, 0}, Case{0.0, 0.51, 1}, Case{0.0, -0.51, -1},
                   Case{1.0, 0.0, PcmGuardMax}, Case{-1.0, 0.0, -PcmGuardMax},
                   Case{1.5, 0.9, PcmGuardMax}, Case{-7.0, -0.9, -PcmGuardMax}}) {
        EXPECT_EQ(toPcm16(c.sample, c.dither), c.code) << c.sample << " + " << c.dither;
    }
}

TEST(MasterTrack, ReachesTheLoudnessWithPeaksUnderTheCeiling) {
    // A quiet, spiky signal: a sine with a click every half second that stands far above it.
    StereoSignal s = sine(220.0, 0.05, 8.0);
    for (size_t i = 0; i < s.left.size(); i += 22050) {
        s.left[i] = 0.9f;
        s.right[i + 1] = -0.9f;
    }
    const MasteringSettings settings{.loudnessLufs = -14.0,
                                     .ceilingDb = -1.5,
                                     .releaseSeconds = 0.05,
                                     .lookaheadSeconds = 0.003};
    MasteredTrack track = masterTrack(s, settings, Rate);
    EXPECT_NEAR(track.loudnessLufs, -14.0, 0.05);

    StereoSignal out;
    for (size_t i = 0; i < track.pcm.size(); i += 2) {
        out.left.push_back(static_cast<float>(track.pcm[i] / 32767.0));
        out.right.push_back(static_cast<float>(track.pcm[i + 1] / 32767.0));
    }
    EXPECT_NEAR(integratedLoudness(out, Rate), -14.0, 0.05);
    std::vector<float> peaks = interSamplePeaks(out);
    double ceiling = std::pow(10.0, -1.5 / 20.0);
    EXPECT_LE(*std::max_element(peaks.begin(), peaks.end()), ceiling * 1.01);
}

} // namespace
} // namespace veloria::music
