#include "media/music/Mastering.h"

#include "media/common/DeterministicMath.h"
#include "media/music/SynthUnits.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <deque>

namespace veloria::music {

namespace {

struct Biquad {
    double b0, b1, b2, a1, a2;
    double z1 = 0.0, z2 = 0.0;
    double process(double x) {
        double y = b0 * x + z1;
        z1 = b1 * x - a1 * y + z2;
        z2 = b2 * x - a2 * y;
        return y;
    }
};

// The two stages of the BS.1770 K-weighting filter, derived for any sample rate from their
// analogue prototypes (the standard tabulates them at 48 kHz only).
std::array<Biquad, 2> kWeighting(double sampleRate) {
    double k = dmath::tan(dmath::Pi * 1681.974450955533 / sampleRate);
    double q = 0.7071752369554196;
    double vh = dmath::pow(10.0, 3.999843853973347 / 20.0);
    double vb = dmath::pow(vh, 0.4996667741545416);
    double a0 = 1.0 + k / q + k * k;
    Biquad shelf{(vh + vb * k / q + k * k) / a0, 2.0 * (k * k - vh) / a0,
                 (vh - vb * k / q + k * k) / a0, 2.0 * (k * k - 1.0) / a0,
                 (1.0 - k / q + k * k) / a0};
    k = dmath::tan(dmath::Pi * 38.13547087602444 / sampleRate);
    q = 0.5003270373238773;
    a0 = 1.0 + k / q + k * k;
    Biquad highPass{1.0, -2.0, 1.0, 2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0};
    return {shelf, highPass};
}

double log10Of(double x) {
    return dmath::log(x) / dmath::log(10.0);
}
double dbToGain(double db) {
    return dmath::pow(10.0, db / 20.0);
}

constexpr int InterpolationTaps = 16; // taps per interpolated point, centred on the gap
constexpr int Oversampling = 4;

// Windowed-sinc weights for the points 1/4, 2/4 and 3/4 of the way to the next sample,
// each normalised to unit gain at DC.
using PhaseTaps = std::array<std::array<double, InterpolationTaps>, Oversampling - 1>;
PhaseTaps interpolationTaps() {
    PhaseTaps taps{};
    constexpr int half = InterpolationTaps / 2;
    for (int p = 1; p < Oversampling; ++p) {
        double frac = static_cast<double>(p) / Oversampling;
        double sum = 0.0;
        auto& phase = taps[static_cast<size_t>(p - 1)];
        for (int k = 0; k < InterpolationTaps; ++k) {
            double t = frac - (k - half + 1); // distance from tap sample n + k - half + 1
            double sinc = dmath::sin(dmath::Pi * t) / (dmath::Pi * t);
            double window = 0.5 + 0.5 * dmath::cos(dmath::Pi * t / half);
            phase[static_cast<size_t>(k)] = sinc * window;
            sum += phase[static_cast<size_t>(k)];
        }
        for (double& w : phase) w /= sum;
    }
    return taps;
}

// Largest magnitude at frame n and at the interpolated points between n and n + 1, folded
// into `peaks`. Each interpolated point sums its taps in the same order; the loops run over
// frames innermost, in chunks that stay in cache, so that they vectorise.
void channelPeaks(const std::vector<float>& x, const PhaseTaps& taps, std::vector<float>& peaks) {
    constexpr size_t half = InterpolationTaps / 2;
    constexpr size_t chunk = 2048;
    std::vector<float> padded(x.size() + InterpolationTaps, 0.0f);
    std::copy(x.begin(), x.end(), padded.begin() + (half - 1));
    std::array<float, chunk> value{}, peak{};
    for (size_t begin = 0; begin < x.size(); begin += chunk) {
        const size_t n = std::min(chunk, x.size() - begin);
        for (size_t i = 0; i < n; ++i) peak[i] = std::fabs(x[begin + i]);
        for (const auto& phase : taps) {
            std::fill_n(value.begin(), n, 0.0f);
            for (size_t k = 0; k < InterpolationTaps; ++k) {
                const float w = static_cast<float>(phase[k]);
                const float* in = padded.data() + begin + k; // in[i] is x[begin + i + k - half + 1]
                for (size_t i = 0; i < n; ++i) value[i] += w * in[i];
            }
            for (size_t i = 0; i < n; ++i) peak[i] = std::max(peak[i], std::fabs(value[i]));
        }
        for (size_t i = 0; i < n; ++i) peaks[begin + i] = std::max(peaks[begin + i], peak[i]);
    }
}

} // namespace

double integratedLoudness(const StereoSignal& signal, double sampleRate) {
    const size_t hop = static_cast<size_t>(dmath::roundNearest(0.1 * sampleRate));
    const size_t hops = signal.left.size() / hop;
    // Mean-square energy of each 100 ms hop, K-weighted, summed over both channels.
    std::vector<double> hopEnergy(hops, 0.0);
    for (const std::vector<float>* channel : {&signal.left, &signal.right}) {
        std::array<Biquad, 2> filter = kWeighting(sampleRate);
        for (size_t h = 0; h < hops; ++h) {
            double sum = 0.0;
            for (size_t i = h * hop; i < (h + 1) * hop; ++i) {
                double y = filter[1].process(filter[0].process((*channel)[i]));
                sum += y * y;
            }
            hopEnergy[h] += sum;
        }
    }
    // 400 ms blocks overlapping by 75%.
    std::vector<double> blocks;
    for (size_t h = 3; h < hops; ++h)
        blocks.push_back((hopEnergy[h - 3] + hopEnergy[h - 2] + hopEnergy[h - 1] + hopEnergy[h]) /
                         static_cast<double>(4 * hop));
    auto loudnessOf = [](double energy) { return -0.691 + 10.0 * log10Of(energy); };
    auto gatedMean = [&](double threshold) {
        double sum = 0.0;
        size_t count = 0;
        for (double z : blocks)
            if (z > 0.0 && loudnessOf(z) > threshold) {
                sum += z;
                ++count;
            }
        return count == 0 ? 0.0 : sum / static_cast<double>(count);
    };
    double absolute = gatedMean(-70.0);
    if (absolute <= 0.0) return -INFINITY;
    double relative = gatedMean(loudnessOf(absolute) - 10.0);
    return loudnessOf(relative);
}

std::vector<float> interSamplePeaks(const StereoSignal& signal) {
    const PhaseTaps taps = interpolationTaps();
    std::vector<float> around(signal.left.size(), 0.0f);
    channelPeaks(signal.left, taps, around);
    channelPeaks(signal.right, taps, around);
    // around[n] covers [n, n + 1); a frame's peak also takes the gap before it.
    std::vector<float> peaks(around.size());
    for (size_t i = 0; i < around.size(); ++i)
        peaks[i] = i == 0 ? around[i] : std::max(around[i - 1], around[i]);
    return peaks;
}

std::vector<float> limiterGains(std::span<const float> peaks, double pregain, double ceiling,
                                int lookahead, double releaseKeep) {
    const size_t n = peaks.size();
    const size_t window = static_cast<size_t>(std::max(lookahead, 1));
    auto required = [&](size_t i) {
        double p = pregain * peaks[i];
        return p > ceiling ? ceiling / p : 1.0;
    };
    // The smallest requirement over the next `window` frames, recovering exponentially.
    std::vector<double> held(n);
    std::deque<size_t> minima; // indices with increasing requirement, over [i, i + window)
    double recovering = 1.0;
    size_t ahead = 0;
    for (size_t i = 0; i < n; ++i) {
        for (; ahead < std::min(n, i + window); ++ahead) {
            while (!minima.empty() && required(minima.back()) >= required(ahead)) minima.pop_back();
            minima.push_back(ahead);
        }
        while (minima.front() < i) minima.pop_front();
        recovering = std::min(required(minima.front()), 1.0 - (1.0 - recovering) * releaseKeep);
        held[i] = recovering;
    }
    // A moving average over the window turns each step down into a ramp that arrives in time.
    // Before the first frame the average sees the first frame's value, so that a peak at the
    // very start is held down too.
    std::vector<float> gains(n);
    if (n == 0) return gains;
    double sum = static_cast<double>(window) * held[0];
    for (size_t i = 0; i < n; ++i) {
        sum += held[i] - (i >= window ? held[i - window] : held[0]);
        gains[i] = static_cast<float>(sum / static_cast<double>(window));
    }
    return gains;
}

int16_t toPcm16(double sample, double dither) {
    double code = dmath::roundNearest(sample * 32767.0 + dither);
    return static_cast<int16_t>(std::clamp(code, -double{PcmGuardMax}, double{PcmGuardMax}));
}

MasteredTrack masterTrack(const StereoSignal& signal, const MasteringSettings& settings,
                          double sampleRate) {
    const size_t n = signal.left.size();
    StereoSignal limited{std::vector<float>(n), std::vector<float>(n)};
    double loudness = integratedLoudness(signal, sampleRate);
    if (std::isfinite(loudness)) {
        const std::vector<float> peaks = interSamplePeaks(signal);
        const double ceiling = dbToGain(settings.ceilingDb);
        const int lookahead =
            static_cast<int>(dmath::roundNearest(settings.lookaheadSeconds * sampleRate));
        const double releaseKeep =
            dmath::exp(-1.0 / (std::max(settings.releaseSeconds, 1e-4) * sampleRate));
        double pregain = dbToGain(settings.loudnessLufs - loudness);
        constexpr int MaxPasses = 6;
        for (int pass = 0; pass < MaxPasses; ++pass) {
            std::vector<float> gains =
                limiterGains(peaks, pregain, ceiling, lookahead, releaseKeep);
            for (size_t i = 0; i < n; ++i) {
                double g = pregain * gains[i];
                limited.left[i] = static_cast<float>(signal.left[i] * g);
                limited.right[i] = static_cast<float>(signal.right[i] * g);
            }
            loudness = integratedLoudness(limited, sampleRate);
            double error = settings.loudnessLufs - loudness;
            if (std::fabs(error) < 0.02) break;
            pregain *= dbToGain(error);
        }
    } else {
        limited = signal;
    }
    MasteredTrack track{std::vector<int16_t>(2 * n), loudness};
    Noise dither{0x2545F491u};
    auto tpdf = [&dither] { return 0.5 * (dither.next() + dither.next()); };
    for (size_t i = 0; i < n; ++i) {
        track.pcm[2 * i] = toPcm16(limited.left[i], tpdf());
        track.pcm[2 * i + 1] = toPcm16(limited.right[i], tpdf());
    }
    return track;
}

} // namespace veloria::music
