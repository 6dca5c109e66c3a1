#include "media/music/Score.h"

namespace veloria::music {

namespace {

// Note names, MIDI numbering (A4 = 69); "s" marks a sharp.
// clang-format off
enum : uint8_t {
    C1 = 24, Cs1, D1, Ds1, E1, F1, Fs1, G1, Gs1, A1, As1, B1,
    C2, Cs2, D2, Ds2, E2, F2, Fs2, G2, Gs2, A2, As2, B2,
    C3, Cs3, D3, Ds3, E3, F3, Fs3, G3, Gs3, A3, As3, B3,
    C4, Cs4, D4, Ds4, E4, F4, Fs4, G4, Gs4, A4, As4, B4,
    C5, Cs5, D5, Ds5, E5, F5, Fs5, G5, Gs5, A5, As5, B5,
    C6, Cs6, D6, Ds6, E6, F6, Fs6, G6, Gs6, A6, As6, B6,
};
// clang-format on

// 16 steps to the bar, 4565 samples to the step at 44.1 kHz: 144.9 BPM, so that the first
// sixteen bars end at 26.5 s where the pictures begin. Each later section is 28 bars (46.4 s).
constexpr double SampleRate = 44100.0;
constexpr int SamplesPerStep = 4565;
constexpr int StepsPerBar = 16;
constexpr int64_t SongFrames = 11'650'048; // 264.17 s: the last bars are the final chord's tail

// ---- Instruments ---------------------------------------------------------------------------

constexpr Instrument Kick{.wave1 = Wave::Sine,
                          .level1 = 1.0,
                          .noise = 0.03,
                          .pitchSweep = 30.0,
                          .pitchDecay = 0.03,
                          .amp = {.attack = 0.0008, .decay = 0.22, .sustain = 0.0, .release = 0.03},
                          .drive = 1.6,
                          .gain = 0.9,
                          .pumps = true};

constexpr Instrument Clap{.wave1 = Wave::Sine,
                          .level1 = 0.5,
                          .noise = 0.8,
                          .pitchSweep = 7.0,
                          .pitchDecay = 0.02,
                          .amp = {.attack = 0.001, .decay = 0.12, .sustain = 0.0, .release = 0.05},
                          .filter = FilterMode::LowPass,
                          .cutoffHz = 5500.0,
                          .resonance = 0.1,
                          .envOctaves = 0.8,
                          .filterDecay = 0.05,
                          .gain = 0.7,
                          .reverbSend = 0.25};

constexpr Instrument ClosedHat{
    .noise = 1.0,
    .amp = {.attack = 0.0005, .decay = 0.03, .sustain = 0.0, .release = 0.02},
    .filter = FilterMode::HighPass,
    .cutoffHz = 8000.0,
    .resonance = 0.3,
    .gain = 0.4,
    .pan = 0.25,
    .reverbSend = 0.05};

constexpr Instrument OpenHat{
    .noise = 1.0,
    .amp = {.attack = 0.001, .decay = 0.15, .sustain = 0.0, .release = 0.05},
    .filter = FilterMode::HighPass,
    .cutoffHz = 7000.0,
    .resonance = 0.2,
    .gain = 0.25,
    .pan = -0.2,
    .reverbSend = 0.1,
    .duck = 0.2};

constexpr Instrument Crash{.noise = 1.0,
                           .spread = 1.0,
                           .amp = {.attack = 0.001, .decay = 1.1, .sustain = 0.0, .release = 0.3},
                           .filter = FilterMode::HighPass,
                           .cutoffHz = 5000.0,
                           .gain = 0.25,
                           .reverbSend = 0.3};

constexpr Instrument Bass{.wave1 = Wave::Saw,
                          .level1 = 0.7,
                          .wave2 = Wave::Pulse,
                          .level2 = 0.5,
                          .semitones2 = 0.07,
                          .amp = {.attack = 0.002, .decay = 0.25, .sustain = 0.5, .release = 0.03},
                          .filter = FilterMode::LowPass,
                          .cutoffHz = 350.0,
                          .resonance = 0.3,
                          .envOctaves = 2.5,
                          .filterDecay = 0.08,
                          .drive = 1.2,
                          .gain = 1.2,
                          .duck = 0.5};

constexpr Instrument Acid{.wave1 = Wave::Saw,
                          .level1 = 1.0,
                          .amp = {.attack = 0.002, .decay = 0.2, .sustain = 0.6, .release = 0.03},
                          .filter = FilterMode::LowPass,
                          .cutoffHz = 300.0,
                          .resonance = 0.82,
                          .envOctaves = 3.5,
                          .filterDecay = 0.12,
                          .keyTrack = 0.5,
                          .drive = 2.0,
                          .gain = 0.22,
                          .delaySend = 0.1,
                          .duck = 0.5};

constexpr Instrument Sub{.wave1 = Wave::Sine,
                         .level1 = 1.0,
                         .wave2 = Wave::Triangle,
                         .level2 = 0.3,
                         .semitones2 = 12.0,
                         .amp = {.attack = 0.05, .decay = 1.0, .sustain = 0.9, .release = 0.3},
                         .gain = 0.22,
                         .duck = 0.3};

constexpr Instrument Pad{.wave1 = Wave::Saw,
                         .level1 = 0.5,
                         .unison = 5,
                         .detuneCents = 20.0,
                         .spread = 0.9,
                         .amp = {.attack = 0.35, .decay = 1.5, .sustain = 0.8, .release = 0.25},
                         .filter = FilterMode::LowPass,
                         .cutoffHz = 1800.0,
                         .resonance = 0.15,
                         .keyTrack = 0.3,
                         .gain = 0.22,
                         .reverbSend = 0.35,
                         .duck = 0.55};

constexpr Instrument Arp{.wave1 = Wave::Pulse,
                         .level1 = 0.7,
                         .pulseWidth = 0.25,
                         .amp = {.attack = 0.001, .decay = 0.1, .sustain = 0.0, .release = 0.05},
                         .filter = FilterMode::LowPass,
                         .cutoffHz = 2400.0,
                         .resonance = 0.3,
                         .envOctaves = 1.5,
                         .filterDecay = 0.05,
                         .keyTrack = 0.5,
                         .gain = 0.22,
                         .pan = 0.3,
                         .delaySend = 0.35,
                         .reverbSend = 0.15,
                         .duck = 0.3};

constexpr Instrument Lead{.wave1 = Wave::Saw,
                          .level1 = 0.6,
                          .wave2 = Wave::Pulse,
                          .level2 = 0.3,
                          .semitones2 = -12.0,
                          .unison = 3,
                          .detuneCents = 12.0,
                          .spread = 0.5,
                          .vibratoCents = 15.0,
                          .vibratoHz = 5.5,
                          .amp = {.attack = 0.004, .decay = 0.4, .sustain = 0.7, .release = 0.12},
                          .filter = FilterMode::LowPass,
                          .cutoffHz = 2200.0,
                          .resonance = 0.25,
                          .envOctaves = 1.2,
                          .filterDecay = 0.2,
                          .keyTrack = 0.6,
                          .gain = 0.45,
                          .delaySend = 0.3,
                          .reverbSend = 0.2,
                          .duck = 0.15};

constexpr Instrument Chip{.wave1 = Wave::Pulse,
                          .level1 = 0.8,
                          .vibratoCents = 25.0,
                          .vibratoHz = 6.0,
                          .amp = {.attack = 0.003, .decay = 0.15, .sustain = 0.6, .release = 0.08},
                          .filter = FilterMode::LowPass,
                          .cutoffHz = 5000.0,
                          .keyTrack = 0.3,
                          .gain = 0.3,
                          .pan = -0.15,
                          .delaySend = 0.25,
                          .reverbSend = 0.15,
                          .duck = 0.1};

constexpr Instrument Bell{.wave1 = Wave::FmSine,
                          .level1 = 1.0,
                          .wave2 = Wave::Sine,
                          .level2 = 0.15,
                          .semitones2 = 12.0,
                          .fmRatio = 2.0,
                          .fmIndex = 3.0,
                          .fmDecay = 0.3,
                          .amp = {.attack = 0.002, .decay = 0.8, .sustain = 0.0, .release = 0.6},
                          .gain = 0.14,
                          .pan = -0.3,
                          .delaySend = 0.3,
                          .reverbSend = 0.4};

constexpr Instrument Riser{.noise = 1.0,
                           .spread = 0.8,
                           .amp = {.attack = 0.5, .decay = 1.0, .sustain = 1.0, .release = 0.4},
                           .filter = FilterMode::BandPass,
                           .cutoffHz = 1000.0,
                           .resonance = 0.6,
                           .gain = 0.35,
                           .reverbSend = 0.3};

// ---- Patterns ------------------------------------------------------------------------------

// Drums, one bar each.
constexpr NoteEvent kickFourEvents[] = {{0, A1, 4}, {4, A1, 4}, {8, A1, 4}, {12, A1, 4}};
constexpr Pattern KickFour{kickFourEvents, 16};
constexpr NoteEvent kickOneEvents[] = {{0, A1, 4}};
constexpr Pattern KickOne{kickOneEvents, 16};

constexpr NoteEvent clapEvents[] = {{4, G3, 2}, {12, G3, 2}};
constexpr Pattern ClapTwoFour{clapEvents, 16};
constexpr NoteEvent clapFillEvents[] = {{4, G3, 2},      {10, G3, 1, 60}, {12, G3, 1, 80},
                                        {13, G3, 1, 70}, {14, G3, 1, 85}, {15, G3, 1, 100}};
constexpr Pattern ClapFill{clapFillEvents, 16};
constexpr NoteEvent snareQuarterEvents[] = {
    {0, G3, 2, 45}, {4, G3, 2, 50}, {8, G3, 2, 55}, {12, G3, 2, 60}};
constexpr Pattern SnareQuarters{snareQuarterEvents, 16};
constexpr NoteEvent snareEighthEvents[] = {{0, G3, 2, 55},  {2, G3, 2, 58}, {4, G3, 2, 61},
                                           {6, G3, 2, 64},  {8, G3, 2, 67}, {10, G3, 2, 70},
                                           {12, G3, 2, 73}, {14, G3, 2, 76}};
constexpr Pattern SnareEighths{snareEighthEvents, 16};
constexpr NoteEvent snareSixteenthEvents[] = {
    {0, G3, 1, 60},  {1, G3, 1, 62},  {2, G3, 1, 65},  {3, G3, 1, 67},
    {4, G3, 1, 70},  {5, G3, 1, 72},  {6, G3, 1, 75},  {7, G3, 1, 77},
    {8, G3, 1, 80},  {9, G3, 1, 82},  {10, G3, 1, 85}, {11, G3, 1, 87},
    {12, G3, 1, 90}, {13, G3, 1, 93}, {14, G3, 1, 96}, {15, G3, 1, 100}};
constexpr Pattern SnareSixteenths{snareSixteenthEvents, 16};

constexpr NoteEvent hatOffbeatEvents[] = {
    {2, C6, 1, 90}, {6, C6, 1, 90}, {10, C6, 1, 90}, {14, C6, 1, 90}};
constexpr Pattern HatOffbeats{hatOffbeatEvents, 16};
constexpr NoteEvent hatSixteenthEvents[] = {
    {0, C6, 1, 45},  {1, C6, 1, 35},  {2, C6, 1, 90},  {3, C6, 1, 40},
    {4, C6, 1, 45},  {5, C6, 1, 35},  {6, C6, 1, 90},  {7, C6, 1, 40},
    {8, C6, 1, 45},  {9, C6, 1, 35},  {10, C6, 1, 90}, {11, C6, 1, 40},
    {12, C6, 1, 45}, {13, C6, 1, 35}, {14, C6, 1, 90}, {15, C6, 1, 50}};
constexpr Pattern HatSixteenths{hatSixteenthEvents, 16};
constexpr NoteEvent openHatEvents[] = {{2, C6, 2}, {6, C6, 2}, {10, C6, 2}, {14, C6, 2}};
constexpr Pattern OpenHats{openHatEvents, 16};

constexpr NoteEvent crashEvents[] = {{0, C6, 32}};
constexpr Pattern CrashHit{crashEvents, 16};
constexpr NoteEvent riserEightEvents[] = {{0, C5, 128}};
constexpr Pattern RiserEight{riserEightEvents, 128};
constexpr NoteEvent riserFourEvents[] = {{0, C5, 64}};
constexpr Pattern RiserFour{riserFourEvents, 64};

// The progressions, four bars each: i-VI-III-VII (Am F C G), the turnaround iv-VI-VII-V
// (Dm F G E) that leads back to Am, and VI-VII-v-i (F G Em Am) for the quieter sections.
// Tones common to neighbouring chords are held over rather than struck again. The tables
// below keep one bar to a line.
// clang-format off
constexpr NoteEvent chordsAFCGEvents[] = {
    {0, A3, 32}, {0, C4, 48}, {0, E4, 16},
    {16, F4, 16},
    {32, G3, 32}, {32, E4, 16},
    {48, B3, 16}, {48, D4, 16}};
constexpr Pattern ChordsAFCG{chordsAFCGEvents, 64};
constexpr NoteEvent chordsDFGEEvents[] = {
    {0, A3, 32}, {0, D4, 16}, {0, F4, 32},
    {16, C4, 16},
    {32, G3, 16}, {32, B3, 32}, {32, D4, 16},
    {48, Gs3, 16}, {48, E4, 16}};
constexpr Pattern ChordsDFGE{chordsDFGEEvents, 64};
constexpr NoteEvent chordsFGEAEvents[] = {
    {0, A3, 16}, {0, C4, 16}, {0, F4, 16},
    {16, B3, 32}, {16, D4, 16}, {16, G4, 32},
    {32, E4, 32},
    {48, A3, 16}, {48, C4, 16}};
constexpr Pattern ChordsFGEA{chordsFGEAEvents, 64};
constexpr NoteEvent chordFinalEvents[] = {{0, A3, 56}, {0, C4, 56}, {0, E4, 56}, {0, A4, 56}};
constexpr Pattern ChordFinal{chordFinalEvents, 64};

// The roots of the same progressions, a bar each.
constexpr NoteEvent rootsAFCGEvents[] = {{0, A1, 16}, {16, F1, 16}, {32, C2, 16}, {48, G1, 16}};
constexpr Pattern RootsAFCG{rootsAFCGEvents, 64};
constexpr NoteEvent rootsDFGEEvents[] = {{0, D2, 16}, {16, F1, 16}, {32, G1, 16}, {48, E1, 16}};
constexpr Pattern RootsDFGE{rootsDFGEEvents, 64};
constexpr NoteEvent rootsFGEAEvents[] = {{0, F1, 16}, {16, G1, 16}, {32, E1, 16}, {48, A1, 16}};
constexpr Pattern RootsFGEA{rootsFGEAEvents, 64};
constexpr NoteEvent rootFinalEvents[] = {{0, A1, 56}};
constexpr Pattern RootFinal{rootFinalEvents, 64};

// The main theme over Am F C G, eight bars: a dotted call, an answer that climbs to C6.
constexpr NoteEvent themeEvents[] = {
    {0, E5, 3},   {3, E5, 3},   {6, A5, 2},   {8, G5, 4},   {12, E5, 4},
    {16, F5, 3},  {19, E5, 3},  {22, C5, 2},  {24, A4, 4},  {28, C5, 2},  {30, D5, 2},
    {32, E5, 3},  {35, G5, 3},  {38, E5, 2},  {40, C5, 4},  {44, D5, 2},  {46, E5, 2},
    {48, D5, 6},  {54, B4, 2},  {56, G4, 4},  {60, B4, 2},  {62, D5, 2},
    {64, E5, 3},  {67, E5, 3},  {70, A5, 2},  {72, G5, 4},  {76, A5, 2},  {78, B5, 2},
    {80, C6, 3},  {83, B5, 3},  {86, A5, 2},  {88, F5, 4},  {92, A5, 4},
    {96, G5, 3},  {99, E5, 3},  {102, C5, 2}, {104, E5, 4}, {108, G5, 2}, {110, E5, 2},
    {112, D5, 6}, {118, B4, 2}, {120, D5, 8}};
constexpr Pattern Theme{themeEvents, 128};

// The second theme over F G Em Am, slower and higher.
constexpr NoteEvent themeTwoEvents[] = {
    {0, A5, 6},   {6, G5, 2},   {8, F5, 4},   {12, E5, 4},
    {16, D5, 6},  {22, E5, 2},  {24, G5, 8},
    {32, B5, 6},  {38, A5, 2},  {40, G5, 4},  {44, E5, 4},
    {48, A5, 10}, {58, C6, 2},  {60, B5, 4},
    {64, A5, 6},  {70, G5, 2},  {72, F5, 4},  {76, A5, 4},
    {80, B5, 6},  {86, C6, 2},  {88, D6, 8},
    {96, E6, 6},  {102, D6, 2}, {104, B5, 4}, {108, G5, 4},
    {112, A5, 16}};
constexpr Pattern ThemeTwo{themeTwoEvents, 128};

// The turnaround's line over Dm F G E, rising to the leading tone.
constexpr NoteEvent turnaroundEvents[] = {
    {0, F5, 6},  {6, E5, 2},  {8, D5, 8},
    {16, C5, 6}, {22, D5, 2}, {24, F5, 8},
    {32, G5, 6}, {38, A5, 2}, {40, B5, 8},
    {48, B5, 8}, {56, Gs5, 8}};
constexpr Pattern Turnaround{turnaroundEvents, 64};
// clang-format on

constexpr NoteEvent leadFinalEvents[] = {{0, A5, 56}};
constexpr Pattern LeadFinal{leadFinalEvents, 64};
constexpr NoteEvent bellFinalEvents[] = {{0, A5, 56}, {0, E6, 56}};
constexpr Pattern BellFinal{bellFinalEvents, 64};

// ---- Arrangement ---------------------------------------------------------------------------
// Bars 0-15 (0-26.5 s), the build-up: the pad fades in and opens, the arpeggio joins at bar 4;
//   from bar 8 the bell states the theme over a sub bass, a kick on each bar and off-beat
//   hats; from bar 12 four to the floor, sixteenth hats, a snare roll and a riser; bar 15
//   holds the kick back.
// Bars 16-43 (26.5-72.9 s), the drop: crash, full beat, off-beat octave bass, the lead plays
//   the theme twice, the bell takes it over (bars 32-39), the turnaround ends on E.
// Bars 44-71 (72.9-119.2 s): F G Em Am. A breakdown with the bell's second theme, then the
//   beat returns under the lead's second theme (52), the main theme (60), a snare roll (68).
// Bars 72-99 (119.2-165.6 s): the acid bass rolls, the chip lead plays the theme (72), then
//   the lead with the chip an octave above (88), the turnaround (96).
// Bars 100-127 (165.6-212.0 s): without drums, the bell's second theme over pad and sub and a
//   muffled arpeggio; from bar 116 the build: the lead's theme opens up, the beat and bass
//   return (120), snare roll and riser into the turnaround.
// Bars 128-159.5 (212.0-264.2 s), the finale: everything, the lead's theme three times with
//   the chip an octave above and the acid bass layered in, the turnaround, and the closing
//   A minor chord at bar 156 (258.4 s) fading out to the last sample.

constexpr Clip kickClips[] = {{8, 4, &KickOne},    {12, 3, &KickFour},   {16, 28, &KickFour},
                              {52, 19, &KickFour}, {72, 28, &KickFour},  {116, 4, &KickOne},
                              {120, 7, &KickFour}, {128, 28, &KickFour}, {156, 1, &KickOne}};

constexpr Clip clapClips[] = {
    {12, 2, &SnareQuarters},  {14, 1, &SnareEighths},  {15, 1, &SnareSixteenths},
    {16, 27, &ClapTwoFour},   {43, 1, &ClapFill},      {52, 16, &ClapTwoFour},
    {68, 1, &SnareQuarters},  {69, 1, &SnareEighths},  {70, 2, &SnareSixteenths},
    {72, 27, &ClapTwoFour},   {99, 1, &ClapFill},      {120, 4, &ClapTwoFour},
    {124, 1, &SnareQuarters}, {125, 1, &SnareEighths}, {126, 2, &SnareSixteenths},
    {128, 27, &ClapTwoFour},  {155, 1, &ClapFill}};

constexpr Clip hatClips[] = {{8, 4, &HatOffbeats},      {12, 4, &HatSixteenths},
                             {16, 8, &HatOffbeats},     {24, 20, &HatSixteenths},
                             {48, 4, &HatOffbeats},     {52, 20, &HatSixteenths},
                             {72, 28, &HatSixteenths},  {108, 8, &HatOffbeats},
                             {116, 12, &HatSixteenths}, {128, 28, &HatSixteenths}};

constexpr Clip openHatClips[] = {
    {24, 16, &OpenHats}, {56, 12, &OpenHats}, {72, 24, &OpenHats}, {128, 28, &OpenHats}};

constexpr Clip crashClips[] = {{16, 1, &CrashHit},  {44, 1, &CrashHit},  {52, 1, &CrashHit},
                               {72, 1, &CrashHit},  {100, 1, &CrashHit}, {128, 1, &CrashHit},
                               {144, 1, &CrashHit}, {156, 1, &CrashHit}};

constexpr Clip riserClips[] = {{8, 8, &RiserEight}, {40, 4, &RiserFour},   {68, 4, &RiserFour},
                               {96, 4, &RiserFour}, {120, 8, &RiserEight}, {152, 4, &RiserFour}};

constexpr Clip bassClips[] = {{16, 24, &RootsAFCG}, {40, 4, &RootsDFGE},   {52, 8, &RootsFGEA},
                              {60, 8, &RootsAFCG},  {68, 4, &RootsDFGE},   {120, 4, &RootsAFCG},
                              {124, 4, &RootsDFGE}, {128, 24, &RootsAFCG}, {152, 4, &RootsDFGE}};

constexpr Clip acidClips[] = {{72, 24, &RootsAFCG, 12},
                              {96, 4, &RootsDFGE, 12},
                              {144, 8, &RootsAFCG, 12},
                              {152, 4, &RootsDFGE, 12}};

constexpr Clip subClips[] = {{8, 8, &RootsAFCG},  {44, 8, &RootsFGEA},   {72, 24, &RootsAFCG},
                             {96, 4, &RootsDFGE}, {100, 16, &RootsFGEA}, {116, 4, &RootsAFCG},
                             {156, 4, &RootFinal}};

constexpr Clip padClips[] = {{0, 40, &ChordsAFCG},  {40, 4, &ChordsDFGE},   {44, 16, &ChordsFGEA},
                             {60, 8, &ChordsAFCG},  {68, 4, &ChordsDFGE},   {72, 24, &ChordsAFCG},
                             {96, 4, &ChordsDFGE},  {100, 16, &ChordsFGEA}, {116, 8, &ChordsAFCG},
                             {124, 4, &ChordsDFGE}, {128, 24, &ChordsAFCG}, {152, 4, &ChordsDFGE},
                             {156, 4, &ChordFinal}};

constexpr Clip arpClips[] = {
    {4, 36, &ChordsAFCG, 12},  {40, 4, &ChordsDFGE, 12},   {44, 16, &ChordsFGEA, 12},
    {60, 8, &ChordsAFCG, 12},  {68, 4, &ChordsDFGE, 12},   {80, 16, &ChordsAFCG, 12},
    {96, 4, &ChordsDFGE, 12},  {100, 16, &ChordsFGEA, 12}, {116, 8, &ChordsAFCG, 12},
    {124, 4, &ChordsDFGE, 12}, {128, 24, &ChordsAFCG, 12}, {152, 4, &ChordsDFGE, 12}};

constexpr Clip leadClips[] = {{16, 16, &Theme},     {40, 4, &Turnaround},  {52, 8, &ThemeTwo},
                              {60, 8, &Theme},      {68, 4, &Turnaround},  {88, 8, &Theme},
                              {96, 4, &Turnaround}, {116, 8, &Theme},      {124, 4, &Turnaround},
                              {128, 24, &Theme},    {152, 4, &Turnaround}, {156, 4, &LeadFinal}};

constexpr Clip chipClips[] = {{72, 16, &Theme}, {88, 8, &Theme, 12}, {136, 16, &Theme, 12}};

constexpr Clip bellClips[] = {{8, 8, &Theme},
                              {32, 8, &Theme},
                              {44, 8, &ThemeTwo},
                              {100, 16, &ThemeTwo},
                              {156, 4, &BellFinal}};

enum TrackId {
    KickTrack,
    ClapTrack,
    HatTrack,
    OpenHatTrack,
    CrashTrack,
    RiserTrack,
    BassTrack,
    AcidTrack,
    SubTrack,
    PadTrack,
    ArpTrack,
    LeadTrack,
    ChipTrack,
    BellTrack
};

constexpr Track tracks[] = {
    {&Kick, kickClips},
    {&Clap, clapClips},
    {&ClosedHat, hatClips},
    {&OpenHat, openHatClips},
    {&Crash, crashClips},
    {&Riser, riserClips},
    {&Bass, bassClips, {.mode = ArpMode::Up, .mask = 0x4444, .octaves = 2, .gate = 1.5}},
    {&Acid, acidClips, {.mode = ArpMode::Up, .mask = 0xEEEE, .octaves = 1, .gate = 0.8}},
    {&Sub, subClips},
    {&Pad, padClips},
    {&Arp, arpClips, {.mode = ArpMode::Up, .mask = 0xFFFF, .octaves = 2, .gate = 0.8}},
    {&Lead, leadClips},
    {&Chip, chipClips},
    {&Bell, bellClips},
};

// ---- Automation ----------------------------------------------------------------------------

constexpr LanePoint padFadeIn[] = {{0, 0.0}, {3, 1.0}};
constexpr LanePoint padOpening[] = {{0, -3.0}, {15.5, 0.0}};
constexpr LanePoint arpFadeIn[] = {{4, 0.5}, {12, 1.0}};
constexpr LanePoint arpFilter[] = {{4, -3.0},     {16, 0.0},   {100, 0.0},
                                   {100.5, -2.2}, {116, -2.2}, {124, 0.0}};
constexpr LanePoint buildKick[] = {{8, 0.5}, {15, 0.7}, {16, 1.0}};
constexpr LanePoint buildHats[] = {{8, 0.4}, {15, 0.7}, {16, 1.0}};
constexpr LanePoint subFadeIn[] = {{8, 0.0}, {12, 1.0}};
constexpr LanePoint riserSweeps[] = {{8, -2.0},   {16, 2.5},  {40, -2.0},  {44, 2.5},
                                     {68, -2.0},  {72, 2.5},  {96, -2.0},  {100, 2.5},
                                     {120, -2.0}, {128, 2.5}, {152, -2.0}, {156, 2.5}};
constexpr LanePoint riserSwells[] = {{8, 0.0},   {16, 1.0},  {40, 0.0},  {44, 1.0},
                                     {68, 0.0},  {72, 1.0},  {96, 0.0},  {100, 1.0},
                                     {120, 0.0}, {128, 1.0}, {152, 0.0}, {156, 1.0}};
constexpr LanePoint acidSweep[] = {{72, -1.5}, {88, 0.5},   {96, 1.0},
                                   {100, 0.0}, {144, -1.0}, {156, 1.0}};
constexpr LanePoint leadOpening[] = {{116, -2.0}, {124, 0.0}};
constexpr LanePoint finalFade[] = {{156, 1.0}, {157, 0.6}, {158, 0.28}, {159, 0.08}, {159.5, 0.0}};

constexpr Lane lanes[] = {
    {LaneTarget::Gain, PadTrack, padFadeIn},      {LaneTarget::Cutoff, PadTrack, padOpening},
    {LaneTarget::Gain, ArpTrack, arpFadeIn},      {LaneTarget::Cutoff, ArpTrack, arpFilter},
    {LaneTarget::Gain, KickTrack, buildKick},     {LaneTarget::Gain, HatTrack, buildHats},
    {LaneTarget::Gain, SubTrack, subFadeIn},      {LaneTarget::Cutoff, RiserTrack, riserSweeps},
    {LaneTarget::Gain, RiserTrack, riserSwells},  {LaneTarget::Cutoff, AcidTrack, acidSweep},
    {LaneTarget::Cutoff, LeadTrack, leadOpening}, {LaneTarget::MasterGain, 0, finalFade},
};

constexpr Song song{
    .sampleRate = SampleRate,
    .samplesPerStep = SamplesPerStep,
    .stepsPerBar = StepsPerBar,
    .frames = SongFrames,
    .tracks = tracks,
    .lanes = lanes,
    .delay = {.steps = 3.0, .feedback = 0.4, .damping = 0.35},
    .reverb = {.roomSize = 0.82, .damping = 0.5, .width = 1.0},
    .pump = {.attack = 0.004, .release = 0.12},
    .mastering = {.loudnessLufs = -14.0,
                  .ceilingDb = -1.5,
                  .releaseSeconds = 0.08,
                  .lookaheadSeconds = 0.003},
};

} // namespace

const Song& veloriaSong() {
    return song;
}

} // namespace veloria::music
