#include "media/music/Synth.h"

#include "media/common/DeterministicMath.h"
#include "media/music/SynthUnits.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>

namespace veloria::music {

namespace {

constexpr int ControlBlock = 64; // samples between updates of pitch, filter and lanes
constexpr int MaxUnison = 8;
constexpr int VoicesPerTrack = 16;

// A note of a track before arpeggiation, in steps.
struct StepNote {
    int64_t on, off;
    int note;
    double velocity;
};

std::vector<StepNote> trackStepNotes(const Song& song, const Track& track) {
    std::vector<StepNote> notes;
    for (const Clip& clip : track.clips) {
        int64_t begin = int64_t{clip.bar} * song.stepsPerBar;
        int64_t end = begin + int64_t{clip.bars} * song.stepsPerBar;
        for (int64_t base = begin; base < end; base += clip.pattern->steps)
            for (const NoteEvent& e : clip.pattern->events) {
                int64_t on = base + e.step;
                if (on >= end) continue;
                notes.push_back({on, on + e.length, e.note + clip.transpose, e.velocity / 100.0});
            }
    }
    return notes;
}

// The notes an arpeggiating track plays on its masked steps, from the chords it holds.
std::vector<ScheduledNote> arpeggiate(const Song& song, const Track& track, int trackIndex,
                                      const std::vector<StepNote>& held) {
    std::vector<ScheduledNote> out;
    if (held.empty()) return out;
    int64_t first = held.front().on, last = held.front().off;
    for (const StepNote& n : held) {
        first = std::min(first, n.on);
        last = std::max(last, n.off);
    }
    const unsigned mask = track.arp.mask;
    std::vector<int> chord, figure;
    for (int64_t s = first; s < last; ++s) {
        int inBar = static_cast<int>(s % song.stepsPerBar);
        if (!(mask >> inBar & 1u)) continue;
        chord.clear();
        double velocity = 0.0;
        for (const StepNote& n : held)
            if (n.on <= s && s < n.off) {
                chord.push_back(n.note);
                velocity = std::max(velocity, n.velocity);
            }
        if (chord.empty()) continue;
        std::sort(chord.begin(), chord.end());
        chord.erase(std::unique(chord.begin(), chord.end()), chord.end());
        figure.clear();
        for (int o = 0; o < track.arp.octaves; ++o)
            for (int n : chord) figure.push_back(n + 12 * o);
        if (track.arp.mode == ArpMode::UpDown)
            for (size_t i = figure.size() - 1; i-- > 1;) figure.push_back(figure[i]);
        size_t ordinal = static_cast<size_t>(std::popcount(mask & ((1u << inBar) - 1u)));
        int note = figure[ordinal % figure.size()];
        int64_t frame = s * song.samplesPerStep;
        int64_t gate =
            static_cast<int64_t>(dmath::roundNearest(track.arp.gate * song.samplesPerStep));
        out.push_back({frame, frame + gate, trackIndex, note, velocity});
    }
    return out;
}

double laneValue(const Lane& lane, double bar) {
    const auto& p = lane.points;
    if (p.empty()) return 0.0;
    if (bar <= p.front().bar) return p.front().value;
    for (size_t i = 1; i < p.size(); ++i)
        if (bar < p[i].bar) {
            double t = (bar - p[i - 1].bar) / (p[i].bar - p[i - 1].bar);
            return p[i - 1].value + (p[i].value - p[i - 1].value) * t;
        }
    return p.back().value;
}

// An instrument's settings turned into per-sample coefficients.
struct InstrumentPlan {
    const Instrument* ins;
    EnvelopeShape amp;
    double fmKeep;
    // How much of the filter and FM envelopes remains after a block of n samples.
    std::array<double, ControlBlock + 1> filterKeepPerBlock{}, fmKeepPerBlock{};
    int unison;
    std::array<double, MaxUnison> detune{};
    std::array<PanGains, MaxUnison> unisonPan{};
    double ratio2;
    bool stereo; // unison spread or stereo noise make the channels differ
    PanGains pan;
};

InstrumentPlan planInstrument(const Instrument& ins, double sampleRate) {
    InstrumentPlan p{};
    p.ins = &ins;
    p.amp = envelopeShape(ins.amp, sampleRate);
    double filterKeep = dmath::exp(-1.0 / (std::max(ins.filterDecay, 1e-4) * sampleRate));
    p.fmKeep = dmath::exp(-1.0 / (std::max(ins.fmDecay, 1e-4) * sampleRate));
    p.filterKeepPerBlock[0] = p.fmKeepPerBlock[0] = 1.0;
    for (size_t n = 1; n <= ControlBlock; ++n) {
        p.filterKeepPerBlock[n] = p.filterKeepPerBlock[n - 1] * filterKeep;
        p.fmKeepPerBlock[n] = p.fmKeepPerBlock[n - 1] * p.fmKeep;
    }
    p.unison = std::clamp(ins.unison, 1, MaxUnison);
    double norm = 1.0 / std::sqrt(static_cast<double>(p.unison));
    for (int u = 0; u < p.unison; ++u) {
        double position = p.unison == 1 ? 0.0 : 2.0 * u / (p.unison - 1) - 1.0;
        p.detune[static_cast<size_t>(u)] = octavesToFactor(position * ins.detuneCents / 1200.0);
        PanGains g = panGains(position * ins.spread);
        p.unisonPan[static_cast<size_t>(u)] = {g.left * norm * std::sqrt(2.0),
                                               g.right * norm * std::sqrt(2.0)};
    }
    p.ratio2 = octavesToFactor(ins.semitones2 / 12.0);
    p.stereo = ins.spread > 0.0;
    PanGains g = panGains(ins.pan);
    p.pan = {g.left * std::sqrt(2.0), g.right * std::sqrt(2.0)};
    return p;
}

class Voice {
public:
    bool active() const { return active_; }
    double level() const { return amp_.level(); }

    void start(const InstrumentPlan& plan, const ScheduledNote& n, uint32_t seed) {
        *this = Voice{};
        active_ = true;
        releaseAt_ = n.releaseFrame;
        note_ = n.note;
        velocity_ = n.velocity;
        hz_ = noteHz(n.note);
        noise_ = Noise{seed | 1u};
        if (plan.unison > 1)
            for (int u = 0; u < plan.unison; ++u) {
                osc1_[static_cast<size_t>(u)].phase = 0.5 + 0.5 * noise_.next();
                osc2_[static_cast<size_t>(u)].phase = 0.5 + 0.5 * noise_.next();
            }
    }

    // Adds `n` (at most ControlBlock) samples starting at `frame` to the track's buffers.
    void render(const InstrumentPlan& plan, double sampleRate, int64_t frame, int n,
                double cutoffOctaves, double* outLeft, double* outRight) {
        const Instrument& ins = *plan.ins;
        control(plan, sampleRate, cutoffOctaves);
        std::array<double, ControlBlock> left{}, right{}, mono;
        const FmShape fm{ins.fmRatio, ins.fmIndex * fmEnv_, plan.fmKeep};
        for (size_t u = 0; u < static_cast<size_t>(plan.unison); ++u) {
            std::fill_n(mono.begin(), n, 0.0);
            osc1_[u].add(ins.wave1, ins.level1, dt1_[u], ins.pulseWidth, fm, mono.data(),
                         static_cast<size_t>(n));
            osc2_[u].add(ins.wave2, ins.level2, dt2_[u], ins.pulseWidth, {}, mono.data(),
                         static_cast<size_t>(n));
            const PanGains pan = plan.unisonPan[u];
            for (size_t i = 0; i < static_cast<size_t>(n); ++i) {
                left[i] += mono[i] * pan.left;
                right[i] += mono[i] * pan.right;
            }
        }
        const size_t count = static_cast<size_t>(n);
        if (ins.noise > 0.0)
            for (size_t i = 0; i < count; ++i) {
                double nl = ins.noise * noise_.next();
                left[i] += nl;
                right[i] += plan.stereo ? ins.noise * noise_.next() : nl;
            }
        // A voice without unison spread or stereo noise has equal channels: shape one.
        shape(ins, filterLeft_, left.data(), count);
        if (plan.stereo) shape(ins, filterRight_, right.data(), count);
        const double* rightShaped = plan.stereo ? right.data() : left.data();
        Envelope amp = amp_; // a local copy stays in registers through the loop
        const int64_t untilRelease = releaseAt_ - frame;
        const size_t held =
            untilRelease >= 0 && untilRelease < n ? static_cast<size_t>(untilRelease) : count;
        for (size_t i = 0; i < held; ++i) {
            double a = amp.next(plan.amp) * velocity_;
            outLeft[i] += left[i] * a;
            outRight[i] += rightShaped[i] * a;
        }
        if (held < count) amp.release();
        for (size_t i = held; i < count; ++i) {
            double a = amp.next(plan.amp) * velocity_;
            outLeft[i] += left[i] * a;
            outRight[i] += rightShaped[i] * a;
        }
        amp_ = amp;
        filterEnv_ *= plan.filterKeepPerBlock[static_cast<size_t>(n)];
        fmEnv_ *= plan.fmKeepPerBlock[static_cast<size_t>(n)];
        age_ += n;
        if (amp_.stage() == Envelope::Stage::Done) active_ = false;
    }

private:
    // Filter and saturation, in place.
    void shape(const Instrument& ins, Svf& filterState, double* x, size_t n) const {
        Svf filter = filterState; // a local copy stays in registers through the loops
        switch (ins.filter) {
        case FilterMode::LowPass:
            for (size_t i = 0; i < n; ++i) x[i] = filter.process<FilterMode::LowPass>(coefs_, x[i]);
            break;
        case FilterMode::BandPass:
            for (size_t i = 0; i < n; ++i)
                x[i] = filter.process<FilterMode::BandPass>(coefs_, x[i]);
            break;
        case FilterMode::HighPass:
            for (size_t i = 0; i < n; ++i)
                x[i] = filter.process<FilterMode::HighPass>(coefs_, x[i]);
            break;
        case FilterMode::Off: break;
        }
        filterState = filter;
        if (ins.drive > 0.0)
            for (size_t i = 0; i < n; ++i) x[i] = saturate(x[i] * ins.drive);
    }

    // Pitch, vibrato and cutoff for the next block.
    void control(const InstrumentPlan& plan, double sampleRate, double cutoffOctaves) {
        const Instrument& ins = *plan.ins;
        double t = static_cast<double>(age_) / sampleRate;
        double semitones = 0.0;
        if (ins.pitchSweep != 0.0) semitones += ins.pitchSweep * dmath::exp(-t / ins.pitchDecay);
        if (ins.vibratoCents != 0.0)
            semitones += ins.vibratoCents / 100.0 * dmath::sin(dmath::TwoPi * ins.vibratoHz * t);
        double hz = semitones == 0.0 ? hz_ : hz_ * octavesToFactor(semitones / 12.0);
        for (size_t u = 0; u < static_cast<size_t>(plan.unison); ++u) {
            dt1_[u] = std::min(hz * plan.detune[u] / sampleRate, 0.5);
            dt2_[u] = std::min(dt1_[u] * plan.ratio2, 0.5);
        }
        if (ins.filter != FilterMode::Off) {
            double octaves =
                ins.keyTrack * (note_ - 69) / 12.0 + ins.envOctaves * filterEnv_ + cutoffOctaves;
            coefs_ = svfCoefs(ins.cutoffHz * octavesToFactor(octaves), ins.resonance, sampleRate);
        }
    }

    bool active_ = false;
    int64_t age_ = 0;
    int64_t releaseAt_ = 0;
    int note_ = 0;
    double velocity_ = 0.0, hz_ = 0.0;
    Envelope amp_{};
    double filterEnv_ = 1.0, fmEnv_ = 1.0;
    std::array<Oscillator, MaxUnison> osc1_{}, osc2_{};
    std::array<double, MaxUnison> dt1_{}, dt2_{};
    SvfCoefs coefs_{};
    Svf filterLeft_{}, filterRight_{};
    Noise noise_{1u};
};

struct TrackState {
    InstrumentPlan plan;
    std::array<Voice, VoicesPerTrack> voices{};
    std::vector<const Lane*> gainLanes, cutoffLanes;
};

Voice& freeVoice(TrackState& track) {
    Voice* quietest = &track.voices[0];
    for (Voice& v : track.voices) {
        if (!v.active()) return v;
        if (v.level() < quietest->level()) quietest = &v;
    }
    return *quietest;
}

} // namespace

std::vector<ScheduledNote> scheduleNotes(const Song& song) {
    std::vector<ScheduledNote> notes;
    for (size_t t = 0; t < song.tracks.size(); ++t) {
        const Track& track = song.tracks[t];
        std::vector<StepNote> stepNotes = trackStepNotes(song, track);
        if (track.arp.mode != ArpMode::Off) {
            std::vector<ScheduledNote> arp =
                arpeggiate(song, track, static_cast<int>(t), stepNotes);
            notes.insert(notes.end(), arp.begin(), arp.end());
            continue;
        }
        for (const StepNote& n : stepNotes)
            notes.push_back({n.on * song.samplesPerStep, n.off * song.samplesPerStep,
                             static_cast<int>(t), n.note, n.velocity});
    }
    std::stable_sort(notes.begin(), notes.end(),
                     [](const ScheduledNote& a, const ScheduledNote& b) {
                         return a.frame != b.frame ? a.frame < b.frame : a.track < b.track;
                     });
    return notes;
}

namespace {

// The state of one render: tracks and their voices, the pump, the effects and the master.
class Renderer {
public:
    explicit Renderer(const Song& song)
        : song_(song), notes_(scheduleNotes(song)), tracks_(song.tracks.size()),
          delay_(static_cast<int>(dmath::roundNearest(song.delay.steps * song.samplesPerStep)),
                 song.delay.feedback, song.delay.damping),
          reverb_(song.reverb, song.sampleRate), dcLeft_(song.sampleRate),
          dcRight_(song.sampleRate),
          pumpStep_(1.0 / std::max(song.pump.attack * song.sampleRate, 1.0)),
          pumpKeep_(dmath::exp(-1.0 / (std::max(song.pump.release, 1e-4) * song.sampleRate))) {
        for (size_t t = 0; t < tracks_.size(); ++t)
            tracks_[t].plan = planInstrument(*song.tracks[t].instrument, song.sampleRate);
        for (const Lane& lane : song.lanes) {
            if (lane.target == LaneTarget::MasterGain) {
                masterLanes_.push_back(&lane);
                continue;
            }
            TrackState& track = tracks_.at(static_cast<size_t>(lane.track));
            (lane.target == LaneTarget::Gain ? track.gainLanes : track.cutoffLanes)
                .push_back(&lane);
        }
    }

    StereoSignal render(int64_t frames) {
        StereoSignal out;
        out.left.assign(static_cast<size_t>(frames), 0.0f);
        out.right.assign(static_cast<size_t>(frames), 0.0f);
        const double framesPerBar = static_cast<double>(song_.samplesPerStep) * song_.stepsPerBar;
        for (int64_t pos = 0; pos < frames;) {
            startNotes(pos);
            // Blocks end at the next note, so that every note starts on its own frame.
            int64_t end = std::min(pos + ControlBlock, frames);
            if (next_ < notes_.size()) end = std::min(end, notes_[next_].frame);
            const Block block{pos, static_cast<size_t>(end - pos),
                              static_cast<double>(pos) / framesPerBar,
                              static_cast<double>(end) / framesPerBar};
            runPump(block);
            mixTracks(block);
            finish(block, out);
            pos = end;
        }
        return out;
    }

private:
    struct Block {
        int64_t frame;
        size_t n;
        double barStart, barEnd;
        // A value ramping linearly from `from` at the block's start towards `to` at its end.
        double ramp(double from, double to, size_t i) const {
            return from + (to - from) * static_cast<double>(i) / static_cast<double>(n);
        }
    };
    using Buffer = std::array<double, ControlBlock>;

    static double gainAt(const std::vector<const Lane*>& lanes, double bar) {
        double g = 1.0;
        for (const Lane* lane : lanes) g *= laneValue(*lane, bar);
        return g;
    }

    void startNotes(int64_t pos) {
        for (; next_ < notes_.size() && notes_[next_].frame <= pos; ++next_) {
            const ScheduledNote& n = notes_[next_];
            TrackState& track = tracks_[static_cast<size_t>(n.track)];
            uint32_t seed = 0x9E3779B9u ^ (static_cast<uint32_t>(n.track) * 0x85EBCA6Bu) ^
                            (static_cast<uint32_t>(next_) * 0xC2B2AE35u);
            freeVoice(track).start(track.plan, n, seed);
            if (track.plan.ins->pumps) pumpRising_ = true;
        }
    }

    // The pump rises linearly to full depth, then recovers exponentially.
    void runPump(const Block& block) {
        for (size_t i = 0; i < block.n; ++i) {
            if (pumpRising_) {
                pump_ += pumpStep_;
                if (pump_ >= 1.0) {
                    pump_ = 1.0;
                    pumpRising_ = false;
                }
            } else {
                pump_ *= pumpKeep_;
            }
            duck_[i] = pump_;
        }
    }

    // Each sounding track's voices, at the track's gain, ducked and panned, into the dry mix
    // and the delay and reverb sends.
    void mixTracks(const Block& block) {
        for (Buffer* b : {&dryLeft_, &dryRight_, &echoIn_, &roomLeft_, &roomRight_})
            std::fill_n(b->begin(), block.n, 0.0);
        Buffer left, right;
        for (TrackState& track : tracks_) {
            bool sounding = false;
            for (const Voice& v : track.voices) sounding = sounding || v.active();
            if (!sounding) continue;
            std::fill_n(left.begin(), block.n, 0.0);
            std::fill_n(right.begin(), block.n, 0.0);
            double cutoff = 0.0;
            for (const Lane* lane : track.cutoffLanes) cutoff += laneValue(*lane, block.barStart);
            for (Voice& v : track.voices)
                if (v.active())
                    v.render(track.plan, song_.sampleRate, block.frame, static_cast<int>(block.n),
                             cutoff, left.data(), right.data());
            const Instrument& ins = *track.plan.ins;
            const double g0 = ins.gain * gainAt(track.gainLanes, block.barStart);
            const double g1 = ins.gain * gainAt(track.gainLanes, block.barEnd);
            for (size_t i = 0; i < block.n; ++i) {
                double g = block.ramp(g0, g1, i) * (1.0 - ins.duck * duck_[i]);
                double l = left[i] * g * track.plan.pan.left;
                double r = right[i] * g * track.plan.pan.right;
                dryLeft_[i] += l;
                dryRight_[i] += r;
                echoIn_[i] += 0.5 * (l + r) * ins.delaySend;
                roomLeft_[i] += l * ins.reverbSend;
                roomRight_[i] += r * ins.reverbSend;
            }
        }
    }

    // Delay (whose echoes also feed the reverb), reverb, DC blocking and the master's gain.
    void finish(const Block& block, StereoSignal& out) {
        Buffer echoLeft, echoRight, wetLeft, wetRight;
        for (size_t i = 0; i < block.n; ++i) {
            delay_.process(echoIn_[i], echoLeft[i], echoRight[i]);
            roomLeft_[i] += 0.5 * echoLeft[i];
            roomRight_[i] += 0.5 * echoRight[i];
        }
        reverb_.process(roomLeft_.data(), roomRight_.data(), wetLeft.data(), wetRight.data(),
                        block.n);
        const double m0 = gainAt(masterLanes_, block.barStart);
        const double m1 = gainAt(masterLanes_, block.barEnd);
        for (size_t i = 0; i < block.n; ++i) {
            double m = block.ramp(m0, m1, i);
            size_t at = static_cast<size_t>(block.frame) + i;
            out.left[at] =
                static_cast<float>(m * dcLeft_.process(dryLeft_[i] + echoLeft[i] + wetLeft[i]));
            out.right[at] =
                static_cast<float>(m * dcRight_.process(dryRight_[i] + echoRight[i] + wetRight[i]));
        }
    }

    const Song& song_;
    const std::vector<ScheduledNote> notes_;
    size_t next_ = 0; // the first note not yet started
    std::vector<TrackState> tracks_;
    std::vector<const Lane*> masterLanes_;
    PingPongDelay delay_;
    Reverb reverb_;
    DcBlocker dcLeft_, dcRight_;
    const double pumpStep_, pumpKeep_;
    double pump_ = 0.0;
    bool pumpRising_ = false;
    Buffer duck_{}, dryLeft_{}, dryRight_{}, echoIn_{}, roomLeft_{}, roomRight_{};
};

} // namespace

StereoSignal renderSong(const Song& song, int64_t frames) {
    return Renderer(song).render(std::clamp<int64_t>(frames, 0, song.frames));
}

} // namespace veloria::music
