// The synth's building blocks: envelopes, band-limited oscillators, a state-variable filter,
// a ping-pong delay, a reverb and a DC blocker. Each output depends only on the inputs and the
// unit's own state, computed with IEEE arithmetic and veloria::dmath, so a render gives the
// same bits on every platform.
#pragma once

#include "media/common/DeterministicMath.h"
#include "media/music/Song.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace veloria::music {

// Frequency of a MIDI note number (A4 = 69 = 440 Hz); a fraction detunes it.
double noteHz(double note);

// 2^(octaves), for cutoff and pitch factors.
double octavesToFactor(double octaves);

// Left and right gains of a constant-power pan position in -1..1.
struct PanGains {
    double left;
    double right;
};
PanGains panGains(double pan);

// xorshift32, the only source of noise: seeded per voice, and for the dither.
struct Noise {
    uint32_t state;
    double next() { // uniform in [-1, 1)
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<double>(state >> 8) * (1.0 / 8388608.0) - 1.0;
    }
};

// Per-sample coefficients of an Adsr at a sample rate.
struct EnvelopeShape {
    double attackStep; // level added per sample during the attack
    double decayCoef;  // distance to sustain kept per sample
    double sustain;
    double releaseCoef; // level kept per sample after release
};
EnvelopeShape envelopeShape(const Adsr& adsr, double sampleRate);

// Attack ramps at least this many samples, so that no note starts with a click.
inline constexpr double MinAttackSamples = 32.0;
// Below this level a decaying envelope counts as silent and the voice ends.
inline constexpr double SilentLevel = 1e-3;

class Envelope {
public:
    enum class Stage : uint8_t { Attack, Decay, Release, Done };
    // The level for this sample.
    double next(const EnvelopeShape& shape) {
        switch (stage_) {
        case Stage::Attack:
            level_ += shape.attackStep;
            if (level_ >= 1.0) {
                level_ = 1.0;
                stage_ = Stage::Decay;
            }
            break;
        case Stage::Decay:
            level_ = shape.sustain + (level_ - shape.sustain) * shape.decayCoef;
            if (shape.sustain <= 0.0 && level_ < SilentLevel) {
                level_ = 0.0;
                stage_ = Stage::Done;
            }
            break;
        case Stage::Release:
            level_ *= shape.releaseCoef;
            if (level_ < SilentLevel) {
                level_ = 0.0;
                stage_ = Stage::Done;
            }
            break;
        case Stage::Done: break;
        }
        return level_;
    }
    void release();
    Stage stage() const { return stage_; }
    double level() const { return level_; }

private:
    Stage stage_ = Stage::Attack;
    double level_ = 0.0;
};

// One cycle of sine plus a guard point, built with the deterministic sine.
inline constexpr int SineTableSize = 4096;
extern const std::array<double, SineTableSize + 1> SineTable;

// A sine over a phase in cycles, any phase, from the table with linear interpolation.
inline double sineAt(double phase) {
    phase -= dmath::floorOf(phase);
    double x = phase * SineTableSize;
    int i = static_cast<int>(x);
    double frac = x - i;
    return SineTable[static_cast<size_t>(i)] +
           (SineTable[static_cast<size_t>(i) + 1] - SineTable[static_cast<size_t>(i)]) * frac;
}

// A triangle over a phase in [0, 1), rising through zero at phase 0 like the sine.
inline double triangleAt(double phase) {
    double t = phase + 0.25;
    if (t >= 1.0) t -= 1.0;
    return 1.0 - 4.0 * (t > 0.5 ? t - 0.5 : 0.5 - t);
}

// FmSine's modulator: frequency ratio to the carrier, index in radians now, and the share of
// the index kept per sample.
struct FmShape {
    double ratio = 1.0;
    double index = 0.0;
    double keep = 1.0;
};

// A running oscillator. Saw and pulse are band-limited with polyBLEP: each jump is rounded off
// over the samples either side of it, the part after a block's last sample carried over. The
// pulse has its DC removed whatever its width.
class Oscillator {
public:
    double phase = 0.0; // in cycles, [0, 1)

    // Adds n samples of `wave` at `dt` cycles per sample (at most 0.5), times `level`, to out.
    void add(Wave wave, double level, double dt, double pulseWidth, const FmShape& fm, double* out,
             size_t n);

private:
    double modPhase_ = 0.0;
    double carry_ = 0.0; // correction owed to the next sample
};

// Topology-preserving state-variable filter (trapezoidal integration), one channel. The
// band-pass output is scaled to unity gain at the centre frequency.
struct SvfCoefs {
    double a1, a2, a3, k;
};
SvfCoefs svfCoefs(double cutoffHz, double resonance, double sampleRate);
struct Svf {
    double ic1 = 0.0, ic2 = 0.0;
    template <FilterMode Mode> double process(const SvfCoefs& c, double x) {
        double v3 = x - ic2;
        double v1 = c.a1 * ic1 + c.a2 * v3;
        double v2 = ic2 + c.a2 * ic1 + c.a3 * v3;
        ic1 = 2.0 * v1 - ic1;
        ic2 = 2.0 * v2 - ic2;
        if constexpr (Mode == FilterMode::LowPass) return v2;
        if constexpr (Mode == FilterMode::BandPass) return c.k * v1;
        if constexpr (Mode == FilterMode::HighPass) return x - c.k * v1 - v2;
        return x;
    }
};

// Soft saturation: odd, monotonic, reaching exactly +-1 at +-3 and flat beyond.
inline double saturate(double x) {
    x = std::clamp(x, -3.0, 3.0);
    double x2 = x * x;
    return x * (27.0 + x2) / (27.0 + 9.0 * x2);
}

// Ping-pong echo: a mono input echoes alternately right and left, losing highs each time.
class PingPongDelay {
public:
    PingPongDelay(int delaySamples, double feedback, double damping);
    void process(double in, double& outLeft, double& outRight);

private:
    std::vector<double> left_, right_;
    size_t pos_ = 0;
    double feedback_, damping_, lowLeft_ = 0.0, lowRight_ = 0.0;
};

// A Schroeder-Moorer reverb: eight damped combs and four allpasses per channel, the right
// channel's delays slightly longer for width. Lengths are for 44.1 kHz and scaled otherwise.
class Reverb {
public:
    Reverb(const ReverbSettings& settings, double sampleRate);
    // The wet output of a block of n input samples.
    void process(const double* inLeft, const double* inRight, double* outLeft, double* outRight,
                 size_t n);

private:
    // A delay line inside memory_: `length` samples from `start`, read and written at `pos`.
    struct Line {
        size_t start, length, pos = 0;
        double low = 0.0; // combs: the damping filter's state
    };
    // Runs body(samples, offset, count) over the next n samples of a line, in the contiguous
    // runs between wrap-arounds, and advances the line.
    template <class Body> static void forRuns(double* memory, Line& line, size_t n, Body body);
    void channel(Line* combs, Line* allpasses, const double* in, double* out, size_t n);
    std::vector<double> memory_;
    std::array<Line, 8> combsLeft_{}, combsRight_{};
    std::array<Line, 4> allpassesLeft_{}, allpassesRight_{};
    double feedback_, damping_, wet1_, wet2_;
};

// One-pole high-pass that removes DC with its corner a few hertz up.
class DcBlocker {
public:
    explicit DcBlocker(double sampleRate);
    double process(double x);

private:
    double r_, x1_ = 0.0, y1_ = 0.0;
};

} // namespace veloria::music
