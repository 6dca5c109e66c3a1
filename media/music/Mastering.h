// Turns the synth's floating-point stereo into the finished 16-bit track. Loudness is measured
// as ITU-R BS.1770 integrated loudness (K-weighting, 400 ms blocks, absolute and relative
// gates); peaks, including those between samples, are held under a ceiling by a look-ahead
// limiter; quantisation adds TPDF dither from a fixed-seed generator and never emits a
// full-scale code. Every step is plain arithmetic, so the output bytes are the same everywhere.
#pragma once

#include "media/music/Song.h"
#include "media/music/StereoSignal.h"

#include <cstdint>
#include <span>
#include <vector>

namespace veloria::music {

// Integrated loudness in LUFS; -infinity when no 400 ms block passes the gates.
double integratedLoudness(const StereoSignal& signal, double sampleRate);

// Per frame, the largest magnitude of either channel at that frame or between it and its
// neighbours, estimated by 4x band-limited interpolation.
std::vector<float> interSamplePeaks(const StereoSignal& signal);

// The limiter's gain per frame so that gain * pregain * peaks stays at or under `ceiling`:
// each reduction is reached within `lookahead` frames with a linear ramp and recovers
// exponentially, keeping `releaseKeep` of the remaining reduction per frame.
std::vector<float> limiterGains(std::span<const float> peaks, double pregain, double ceiling,
                                int lookahead, double releaseKeep);

// The 16-bit code of a sample at full scale +-1 plus `dither` LSB, rounded to nearest and
// clamped to +-PcmGuardMax: a finished track holds no clipped full-scale samples.
inline constexpr int PcmGuardMax = 32766;
int16_t toPcm16(double sample, double dither);

struct MasteredTrack {
    std::vector<int16_t> pcm; // interleaved left, right
    double loudnessLufs;      // measured on the limited signal before quantisation
};

// Normalises to settings.loudnessLufs, limits to settings.ceilingDb and quantises. The
// level is refined over a few passes because limiting lowers the loudness slightly.
MasteredTrack masterTrack(const StereoSignal& signal, const MasteringSettings& settings,
                          double sampleRate);

} // namespace veloria::music
