#include "media/music/SynthUnits.h"

#include "media/common/DeterministicMath.h"

#include <algorithm>

namespace veloria::music {

const std::array<double, SineTableSize + 1> SineTable = [] {
    std::array<double, SineTableSize + 1> t{};
    for (int i = 0; i <= SineTableSize; ++i)
        t[static_cast<size_t>(i)] = dmath::sin(dmath::TwoPi * i / SineTableSize);
    return t;
}();

double octavesToFactor(double octaves) {
    return dmath::exp(octaves * dmath::Ln2);
}

double noteHz(double note) {
    return 440.0 * octavesToFactor((note - 69.0) / 12.0);
}

PanGains panGains(double pan) {
    double angle = (std::clamp(pan, -1.0, 1.0) + 1.0) * (dmath::Pi / 4.0);
    return {dmath::cos(angle), dmath::sin(angle)};
}

EnvelopeShape envelopeShape(const Adsr& adsr, double sampleRate) {
    auto keepPerSample = [sampleRate](double seconds) {
        return dmath::exp(-1.0 / (std::max(seconds, 1e-4) * sampleRate));
    };
    return {1.0 / std::max(adsr.attack * sampleRate, MinAttackSamples), keepPerSample(adsr.decay),
            adsr.sustain, keepPerSample(adsr.release)};
}

void Envelope::release() {
    if (stage_ != Stage::Done) stage_ = Stage::Release;
}

void Oscillator::add(Wave wave, double level, double dt, double pulseWidth, const FmShape& fm,
                     double* out, size_t n) {
    double p = phase;
    switch (wave) {
    case Wave::Sine:
        for (size_t i = 0; i < n; ++i) {
            out[i] += level * sineAt(p);
            p += dt;
            if (p >= 1.0) p -= 1.0;
        }
        break;
    case Wave::Triangle:
        for (size_t i = 0; i < n; ++i) {
            out[i] += level * triangleAt(p);
            p += dt;
            if (p >= 1.0) p -= 1.0;
        }
        break;
    case Wave::Saw: {
        // The naive saw 2p - 1 drops by 2 at each wrap; the polyBLEP residual around the drop is
        // (x)^2 subtracted before it and (1 - y)^2 added after it, x and y being the distances to
        // the wrap in samples.
        const double inv = 1.0 / dt;
        double carry = carry_;
        for (size_t i = 0; i < n; ++i) {
            double v = 2.0 * p - 1.0 + carry;
            carry = 0.0;
            double next = p + dt;
            if (next >= 1.0) {
                next -= 1.0;
                double before = (p - 1.0) * inv + 1.0;
                double after = 1.0 - next * inv;
                v -= before * before;
                carry = after * after;
            }
            out[i] += level * v;
            p = next;
        }
        carry_ = carry;
        break;
    }
    case Wave::Pulse: {
        // +1 up to the width, -1 after it: a rise of 2 at each wrap, a fall of 2 at the width.
        const double inv = 1.0 / dt;
        const double dc = 2.0 * pulseWidth - 1.0;
        double carry = carry_;
        for (size_t i = 0; i < n; ++i) {
            double v = (p < pulseWidth ? 1.0 : -1.0) - dc + carry;
            carry = 0.0;
            double next = p + dt;
            if (p < pulseWidth && next >= pulseWidth) {
                double before = (p - pulseWidth) * inv + 1.0;
                double after = 1.0 - (next - pulseWidth) * inv;
                v -= before * before;
                carry += after * after;
            }
            if (next >= 1.0) {
                next -= 1.0;
                double before = (p - 1.0) * inv + 1.0;
                double after = 1.0 - next * inv;
                v += before * before;
                carry -= after * after;
            }
            out[i] += level * v;
            p = next;
        }
        carry_ = carry;
        break;
    }
    case Wave::FmSine: {
        const double modDt = std::min(dt * fm.ratio, 0.5);
        double index = fm.index * (1.0 / dmath::TwoPi), m = modPhase_;
        for (size_t i = 0; i < n; ++i) {
            out[i] += level * sineAt(p + index * sineAt(m));
            p += dt;
            if (p >= 1.0) p -= 1.0;
            m += modDt;
            if (m >= 1.0) m -= 1.0;
            index *= fm.keep;
        }
        modPhase_ = m;
        break;
    }
    case Wave::None: break;
    }
    phase = p;
}

SvfCoefs svfCoefs(double cutoffHz, double resonance, double sampleRate) {
    double fc = std::clamp(cutoffHz, 20.0, 0.45 * sampleRate);
    double w = dmath::Pi * fc / sampleRate;
    double g = dmath::tan(w);
    double k = 2.0 - 2.0 * std::clamp(resonance, 0.0, 0.95);
    double a1 = 1.0 / (1.0 + g * (g + k));
    double a2 = g * a1;
    return {a1, a2, g * a2, k};
}

PingPongDelay::PingPongDelay(int delaySamples, double feedback, double damping)
    : left_(static_cast<size_t>(std::max(delaySamples, 1))),
      right_(static_cast<size_t>(std::max(delaySamples, 1))), feedback_(feedback),
      damping_(damping) {}

void PingPongDelay::process(double in, double& outLeft, double& outRight) {
    double l = left_[pos_];
    double r = right_[pos_];
    lowLeft_ += (l - lowLeft_) * (1.0 - damping_);
    lowRight_ += (r - lowRight_) * (1.0 - damping_);
    left_[pos_] = in + feedback_ * lowRight_;
    right_[pos_] = feedback_ * lowLeft_;
    if (++pos_ == left_.size()) pos_ = 0;
    outLeft = l;
    outRight = r;
}

namespace {
constexpr std::array<int, 8> CombLengths = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
constexpr std::array<int, 4> AllpassLengths = {556, 441, 341, 225};
constexpr int StereoSpread = 23;
constexpr double InputGain = 0.015;
constexpr double WetScale = 3.0;

size_t scaledLength(int samplesAt44k, double sampleRate) {
    return static_cast<size_t>(
        std::max(1.0, dmath::roundNearest(samplesAt44k * sampleRate / 44100.0)));
}
} // namespace

Reverb::Reverb(const ReverbSettings& settings, double sampleRate)
    : feedback_(0.7 + 0.28 * settings.roomSize), damping_(0.4 * settings.damping),
      wet1_(WetScale * (0.5 + 0.5 * settings.width)),
      wet2_(WetScale * (0.5 - 0.5 * settings.width)) {
    size_t total = 0;
    auto place = [&](Line& line, int samplesAt44k) {
        line.start = total;
        line.length = scaledLength(samplesAt44k, sampleRate);
        total += line.length;
    };
    for (size_t i = 0; i < CombLengths.size(); ++i) {
        place(combsLeft_[i], CombLengths[i]);
        place(combsRight_[i], CombLengths[i] + StereoSpread);
    }
    for (size_t i = 0; i < AllpassLengths.size(); ++i) {
        place(allpassesLeft_[i], AllpassLengths[i]);
        place(allpassesRight_[i], AllpassLengths[i] + StereoSpread);
    }
    memory_.assign(total, 0.0);
}

template <class Body> void Reverb::forRuns(double* memory, Line& line, size_t n, Body body) {
    for (size_t done = 0; done < n;) {
        size_t run = std::min(n - done, line.length - line.pos);
        body(memory + line.start + line.pos, done, run);
        line.pos += run;
        if (line.pos == line.length) line.pos = 0;
        done += run;
    }
}

void Reverb::channel(Line* combs, Line* allpasses, const double* in, double* out, size_t n) {
    double* memory = memory_.data();
    const double feedback = feedback_, damping = damping_;
    std::fill_n(out, n, 0.0);
    for (size_t c = 0; c < CombLengths.size(); ++c) {
        double low = combs[c].low;
        forRuns(memory, combs[c], n, [&](double* buffer, size_t at, size_t run) {
            for (size_t k = 0; k < run; ++k) {
                double y = buffer[k];
                low = y * (1.0 - damping) + low * damping;
                buffer[k] = in[at + k] + low * feedback;
                out[at + k] += y;
            }
        });
        combs[c].low = low;
    }
    for (size_t a = 0; a < AllpassLengths.size(); ++a)
        forRuns(memory, allpasses[a], n, [&](double* buffer, size_t at, size_t run) {
            for (size_t k = 0; k < run; ++k) {
                double y = buffer[k];
                buffer[k] = out[at + k] + y * 0.5;
                out[at + k] = y - out[at + k];
            }
        });
}

void Reverb::process(const double* inLeft, const double* inRight, double* outLeft, double* outRight,
                     size_t n) {
    std::array<double, 256> in, left, right;
    for (size_t done = 0; done < n; done += in.size()) {
        const size_t m = std::min(in.size(), n - done);
        for (size_t i = 0; i < m; ++i) in[i] = (inLeft[done + i] + inRight[done + i]) * InputGain;
        channel(combsLeft_.data(), allpassesLeft_.data(), in.data(), left.data(), m);
        channel(combsRight_.data(), allpassesRight_.data(), in.data(), right.data(), m);
        for (size_t i = 0; i < m; ++i) {
            outLeft[done + i] = left[i] * wet1_ + right[i] * wet2_;
            outRight[done + i] = right[i] * wet1_ + left[i] * wet2_;
        }
    }
}

DcBlocker::DcBlocker(double sampleRate) : r_(1.0 - dmath::TwoPi * 5.0 / sampleRate) {}

double DcBlocker::process(double x) {
    double y = x - x1_ + r_ * y1_;
    x1_ = x;
    y1_ = y;
    return y;
}

} // namespace veloria::music
