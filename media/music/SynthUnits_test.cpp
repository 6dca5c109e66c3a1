#include "media/music/SynthUnits.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace veloria::music {
namespace {

constexpr double Rate = 44100.0;

// Steps an envelope `samples` times and returns its last level.
double run(Envelope& env, const EnvelopeShape& shape, int samples) {
    double level = env.level();
    for (int i = 0; i < samples; ++i) level = env.next(shape);
    return level;
}

TEST(Envelope, AttackRampsLinearlyThenDecaysToSustainAndReleasesToSilence) {
    // Attack 100 samples; decay and release time constants 441 samples (10 ms).
    const EnvelopeShape shape =
        envelopeShape({.attack = 100 / Rate, .decay = 0.01, .sustain = 0.5, .release = 0.01}, Rate);
    Envelope env;
    EXPECT_NEAR(run(env, shape, 50), 0.5, 1e-9);
    EXPECT_EQ(env.stage(), Envelope::Stage::Attack);
    EXPECT_NEAR(run(env, shape, 50), 1.0, 1e-9);
    EXPECT_EQ(env.stage(), Envelope::Stage::Decay);
    // One time constant later the distance to the sustain level has shrunk to 1/e.
    EXPECT_NEAR(run(env, shape, 441), 0.5 + 0.5 / std::exp(1.0), 1e-3);
    EXPECT_NEAR(run(env, shape, 20 * 441), 0.5, 1e-6); // and it holds there
    EXPECT_EQ(env.stage(), Envelope::Stage::Decay);

    env.release();
    EXPECT_NEAR(run(env, shape, 441), 0.5 / std::exp(1.0), 1e-3);
    run(env, shape, 20 * 441);
    EXPECT_EQ(env.stage(), Envelope::Stage::Done);
    EXPECT_EQ(env.level(), 0.0);
}

TEST(Envelope, ReleaseDuringAttackFallsFromWhereItIs) {
    const EnvelopeShape shape =
        envelopeShape({.attack = 0.01, .decay = 0.1, .sustain = 1.0, .release = 0.01}, Rate);
    Envelope env;
    double reached = run(env, shape, 100);
    env.release();
    double next = env.next(shape);
    EXPECT_LT(next, reached);
    EXPECT_GT(next, 0.99 * reached); // no jump
}

TEST(Envelope, EvenAZeroAttackRampsOverSeveralSamples) {
    const EnvelopeShape shape =
        envelopeShape({.attack = 0.0, .decay = 0.1, .sustain = 1.0, .release = 0.1}, Rate);
    Envelope env;
    EXPECT_NEAR(env.next(shape), 1.0 / MinAttackSamples, 1e-12);
    EXPECT_NEAR(run(env, shape, static_cast<int>(MinAttackSamples) - 1), 1.0, 1e-9);
}

TEST(Envelope, APercussiveNoteEndsByItselfWithoutRelease) {
    const EnvelopeShape shape =
        envelopeShape({.attack = 0.001, .decay = 0.01, .sustain = 0.0, .release = 1.0}, Rate);
    Envelope env;
    run(env, shape, static_cast<int>(Rate));
    EXPECT_EQ(env.stage(), Envelope::Stage::Done);
}

// Upward zero crossings of one second of `wave` at A4.
int upwardCrossingsOfA4(Wave wave, double pulseWidth) {
    Oscillator osc;
    std::vector<double> out(static_cast<size_t>(Rate), 0.0);
    osc.add(wave, 1.0, noteHz(69) / Rate, pulseWidth, {.ratio = 2.0, .index = 1.0, .keep = 1.0},
            out.data(), out.size());
    int crossings = 0;
    for (size_t i = 1; i < out.size(); ++i) crossings += out[i - 1] < 0.0 && out[i] >= 0.0;
    return crossings;
}

TEST(Oscillator, EveryWaveSoundsAtThePitchOfItsNote) {
    struct Case {
        Wave wave;
        double pulseWidth;
    };
    for (Case c : {Case{Wave::Sine, 0.5}, Case{Wave::Triangle, 0.5}, Case{Wave::Saw, 0.5},
                   Case{Wave::Pulse, 0.5}, Case{Wave::Pulse, 0.25}, Case{Wave::FmSine, 0.5}}) {
        SCOPED_TRACE(static_cast<int>(c.wave));
        EXPECT_NEAR(upwardCrossingsOfA4(c.wave, c.pulseWidth), 440, 1);
    }
    EXPECT_NEAR(noteHz(57), 220.0, 1e-9);
    EXPECT_NEAR(noteHz(81), 880.0, 1e-9);
}

TEST(Oscillator, OutputDoesNotDependOnHowTheBlocksAreCut) {
    for (Wave wave : {Wave::Saw, Wave::Pulse, Wave::FmSine}) {
        SCOPED_TRACE(static_cast<int>(wave));
        const FmShape fm{.ratio = 3.0, .index = 2.0, .keep = 0.9999};
        const double dt = 1234.5 / Rate;
        std::vector<double> whole(4410, 0.0), pieces(4410, 0.0);
        Oscillator a, b;
        a.add(wave, 1.0, dt, 0.3, fm, whole.data(), whole.size());
        for (size_t at = 0; at < pieces.size(); at += 7) {
            FmShape decayed = fm;
            decayed.index = fm.index * std::pow(fm.keep, static_cast<double>(at));
            b.add(wave, 1.0, dt, 0.3, decayed, pieces.data() + at,
                  std::min<size_t>(7, pieces.size() - at));
        }
        for (size_t i = 0; i < whole.size(); ++i) ASSERT_NEAR(whole[i], pieces[i], 1e-9) << i;
    }
}

TEST(Oscillator, SawAndPulseAreBandLimited) {
    // A naive saw jumps by 2 once a cycle; the band-limited one spreads each jump over two
    // samples, and has no DC.
    for (Wave wave : {Wave::Saw, Wave::Pulse}) {
        Oscillator osc;
        std::vector<double> out(static_cast<size_t>(Rate), 0.0);
        osc.add(wave, 1.0, 3000.0 / Rate, 0.25, {}, out.data(), out.size());
        double largestStep = 0.0, sum = 0.0;
        for (size_t i = 1; i < out.size(); ++i) {
            largestStep = std::max(largestStep, std::fabs(out[i] - out[i - 1]));
            sum += out[i];
        }
        EXPECT_LT(largestStep, 1.6);
        EXPECT_NEAR(sum / static_cast<double>(out.size()), 0.0, 1e-3);
    }
}

// Gain of a filter for a sine at `hz`, after it has settled.
double filterGain(FilterMode mode, double hz) {
    const SvfCoefs c = svfCoefs(1000.0, 0.0, Rate);
    Svf filter;
    double in = 0.0, out = 0.0;
    for (int i = 0; i < 44100; ++i) {
        double x = std::sin(2.0 * 3.141592653589793 * hz * i / Rate);
        double y = 0.0;
        switch (mode) {
        case FilterMode::LowPass: y = filter.process<FilterMode::LowPass>(c, x); break;
        case FilterMode::BandPass: y = filter.process<FilterMode::BandPass>(c, x); break;
        case FilterMode::HighPass: y = filter.process<FilterMode::HighPass>(c, x); break;
        case FilterMode::Off: y = x; break;
        }
        if (i >= 22050) {
            in += x * x;
            out += y * y;
        }
    }
    return std::sqrt(out / in);
}

TEST(StateVariableFilter, PassesAndStopsTheRightBandsAroundTheCutoff) {
    struct Case {
        FilterMode mode;
        double hz, low, high;
    };
    // Low- and high-pass fall 12 dB per octave, so a decade away is about -40 dB; the
    // band-pass falls 6 dB per octave on either side.
    for (Case c : {Case{FilterMode::LowPass, 100.0, 0.97, 1.01},
                   Case{FilterMode::LowPass, 10000.0, 0.0, 0.012},
                   Case{FilterMode::HighPass, 10000.0, 0.97, 1.01},
                   Case{FilterMode::HighPass, 100.0, 0.0, 0.012},
                   Case{FilterMode::BandPass, 1000.0, 0.97, 1.01},
                   Case{FilterMode::BandPass, 10000.0, 0.0, 0.2}}) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(c.mode) << " at " << c.hz << " Hz");
        double g = filterGain(c.mode, c.hz);
        EXPECT_GE(g, c.low);
        EXPECT_LE(g, c.high);
    }
}

TEST(PingPongDelay, EchoesLeftThenRightLosingLevelEachTime) {
    PingPongDelay delay(10, 0.5, 0.0);
    std::vector<double> left, right;
    for (int i = 0; i < 40; ++i) {
        double l, r;
        delay.process(i == 0 ? 1.0 : 0.0, l, r);
        left.push_back(l);
        right.push_back(r);
    }
    EXPECT_EQ(left[10], 1.0);
    EXPECT_EQ(right[20], 0.5);
    EXPECT_EQ(left[30], 0.25);
    double others = 0.0;
    for (int i = 0; i < 40; ++i)
        if (i != 10 && i != 30) others += std::fabs(left[static_cast<size_t>(i)]);
    EXPECT_EQ(others, 0.0);
}

} // namespace
} // namespace veloria::music
