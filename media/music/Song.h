// What a song is made of: instruments, note patterns, clips of patterns on tracks, automation
// lanes, and the effect and mastering settings. A Song only describes music; Synth renders any
// Song, and nothing about a particular piece lives in the engine.
#pragma once

#include <cstdint>
#include <span>

namespace veloria::music {

enum class Wave : uint8_t { None, Sine, Triangle, Saw, Pulse, FmSine };
enum class FilterMode : uint8_t { Off, LowPass, BandPass, HighPass };

// Amplitude envelope. The attack is a linear ramp over `attack` seconds; decay (towards
// `sustain`) and release (towards silence) are exponential with the given time constants.
struct Adsr {
    double attack = 0.002;
    double decay = 0.2;
    double sustain = 1.0;
    double release = 0.05;
};

struct Instrument {
    Wave wave1 = Wave::None;
    double level1 = 0.0;
    Wave wave2 = Wave::None;
    double level2 = 0.0;
    double semitones2 = 0.0; // pitch of oscillator 2 relative to the note
    double noise = 0.0;      // white noise level
    double pulseWidth = 0.5;
    double fmRatio = 1.0;     // FmSine: modulator frequency / carrier frequency
    double fmIndex = 0.0;     // FmSine: modulation index at the note's start...
    double fmDecay = 1.0;     // ...decaying with this time constant (seconds)
    int unison = 1;           // detuned copies of the oscillators, up to 8
    double detuneCents = 0.0; // the outermost copies sit this far above and below the note
    double spread = 0.0;      // 0: copies in the centre, 1: outermost copies hard left/right
    double pitchSweep = 0.0;  // semitones added at the note's start, decaying to 0...
    double pitchDecay = 0.01; // ...with this time constant (seconds)
    double vibratoCents = 0.0;
    double vibratoHz = 0.0;
    Adsr amp{};
    FilterMode filter = FilterMode::Off;
    double cutoffHz = 20000.0;
    double resonance = 0.0;   // 0..0.95
    double envOctaves = 0.0;  // cutoff raised this many octaves at the note's start...
    double filterDecay = 0.1; // ...falling back with this time constant (seconds)
    double keyTrack = 0.0;    // 1: the cutoff follows the note's pitch, relative to A4
    double drive = 0.0;       // soft saturation after the filter; 0 leaves the sound clean
    double gain = 1.0;
    double pan = 0.0; // -1 left .. 1 right
    double delaySend = 0.0;
    double reverbSend = 0.0;
    double duck = 0.0;  // how deep the pump (sidechain) envelope pulls this instrument down
    bool pumps = false; // this instrument's notes start the pump envelope
};

// A note in a pattern: starts at `step`, lasts `length` steps; velocity in percent.
struct NoteEvent {
    uint16_t step;
    uint8_t note; // MIDI note number, A4 = 69
    uint16_t length;
    uint8_t velocity = 100;
};

struct Pattern {
    std::span<const NoteEvent> events;
    uint16_t steps; // the pattern repeats with this period inside a clip
};

// A pattern placed on a track from `bar` for `bars` bars, transposed by semitones.
struct Clip {
    uint16_t bar;
    uint16_t bars;
    const Pattern* pattern;
    int8_t transpose = 0;
};

// A track can arpeggiate: the notes it holds are not played themselves but, on every step
// whose bit is set in `mask` (bit n = step n of the bar), one note of the held chord plays,
// climbing (Up) or climbing and falling (UpDown) through `octaves` octaves. The position in
// the figure restarts with every bar, so figures stay on the bar grid.
enum class ArpMode : uint8_t { Off, Up, UpDown };
struct Arpeggio {
    ArpMode mode = ArpMode::Off;
    uint16_t mask = 0xFFFF;
    int octaves = 1;
    double gate = 1.0; // length of each arpeggio note in steps
};

struct Track {
    const Instrument* instrument;
    std::span<const Clip> clips;
    Arpeggio arp{};
};

// Automation: a value over time, linear between points given in bars, held before the first
// and after the last point. Gain multiplies a track's (or the master's) level; Cutoff shifts
// a track's filter cutoff by the value in octaves.
enum class LaneTarget : uint8_t { Gain, Cutoff, MasterGain };
struct LanePoint {
    double bar;
    double value;
};
struct Lane {
    LaneTarget target;
    int track; // ignored for MasterGain
    std::span<const LanePoint> points;
};

struct DelaySettings {
    double steps;    // echo time
    double feedback; // 0..0.95
    double damping;  // 0..1, high-frequency loss per echo
};

struct ReverbSettings {
    double roomSize; // 0..1
    double damping;  // 0..1
    double width;    // 0..1
};

// The pump: a sidechain-style envelope that ducks instruments on the pumping notes (the kick).
struct PumpSettings {
    double attack;  // seconds to full depth
    double release; // time constant of the recovery, seconds
};

struct MasteringSettings {
    double loudnessLufs;     // integrated loudness of the finished track
    double ceilingDb;        // limiter ceiling, measured between samples as well
    double releaseSeconds;   // limiter recovery time constant
    double lookaheadSeconds; // limiter look-ahead
};

struct Song {
    double sampleRate;
    int samplesPerStep;
    int stepsPerBar;
    int64_t frames; // the song's length; the render stops here
    std::span<const Track> tracks;
    std::span<const Lane> lanes;
    DelaySettings delay;
    ReverbSettings reverb;
    PumpSettings pump;
    MasteringSettings mastering;
};

} // namespace veloria::music
