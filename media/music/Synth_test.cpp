#include "media/music/Synth.h"

#include "media/music/Mastering.h"
#include "media/music/Score.h"

#include <gtest/gtest.h>

#include <cstring>

namespace veloria::music {
namespace {

// A small song: 100 samples to the step, one sine instrument, no effects.
constexpr Instrument Beep{.wave1 = Wave::Sine,
                          .level1 = 1.0,
                          .amp = {.attack = 0.001, .decay = 1.0, .sustain = 1.0, .release = 0.01}};

Song testSong(std::span<const Track> tracks) {
    return {.sampleRate = 44100.0,
            .samplesPerStep = 100,
            .stepsPerBar = 16,
            .frames = 8000,
            .tracks = tracks,
            .lanes = {},
            .delay = {.steps = 3.0, .feedback = 0.0, .damping = 0.0},
            .reverb = {.roomSize = 0.5, .damping = 0.5, .width = 1.0},
            .pump = {.attack = 0.004, .release = 0.1},
            .mastering = {.loudnessLufs = -14.0,
                          .ceilingDb = -1.0,
                          .releaseSeconds = 0.1,
                          .lookaheadSeconds = 0.003}};
}

constexpr NoteEvent oneNoteEvents[] = {{3, 69, 2, 50}};
constexpr Pattern OneNote{oneNoteEvents, 16};
constexpr Clip repeatedClip[] = {{1, 2, &OneNote, 12}};
constexpr Track beepTrack[] = {{&Beep, repeatedClip}};

TEST(Synth, PlacesPatternsOnTheTimelineRepeatedAndTransposed) {
    const std::vector<ScheduledNote> notes = scheduleNotes(testSong(beepTrack));
    ASSERT_EQ(notes.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        int64_t start = (16 * static_cast<int64_t>(i + 1) + 3) * 100; // bar 1 then bar 2, step 3
        EXPECT_EQ(notes[i].frame, start);
        EXPECT_EQ(notes[i].releaseFrame, start + 200);
        EXPECT_EQ(notes[i].note, 81);
        EXPECT_EQ(notes[i].velocity, 0.5);
    }
}

TEST(Synth, NotesSoundFromTheirFirstFrame) {
    const StereoSignal s = renderSong(testSong(beepTrack), 2000);
    for (size_t i = 0; i < 1900; ++i) ASSERT_EQ(s.left[i], 0.0f) << i;
    EXPECT_NE(s.left[1901], 0.0f);
    EXPECT_EQ(s.left[1901], s.right[1901]); // centred
}

constexpr NoteEvent chordEvents[] = {{0, 57, 32}, {0, 60, 32}, {0, 64, 32}};
constexpr Pattern Chord{chordEvents, 32};
constexpr Clip chordClip[] = {{0, 2, &Chord}};

std::vector<int> arpeggioNotes(ArpMode mode) {
    const Track tracks[] = {
        {&Beep, chordClip, {.mode = mode, .mask = 0x5555, .octaves = 2, .gate = 0.5}}};
    std::vector<int> notes;
    for (const ScheduledNote& n : scheduleNotes(testSong(tracks))) {
        EXPECT_EQ(n.frame % 200, 0);             // on the eighths
        EXPECT_EQ(n.releaseFrame - n.frame, 50); // half a step long
        notes.push_back(n.note);
    }
    return notes;
}

TEST(Synth, ArpeggiosClimbThroughTheHeldChordAndRestartEachBar) {
    const std::vector<int> bar = {57, 60, 64, 69, 72, 76, 57, 60};
    std::vector<int> twoBars = bar;
    twoBars.insert(twoBars.end(), bar.begin(), bar.end());
    EXPECT_EQ(arpeggioNotes(ArpMode::Up), twoBars);

    const std::vector<int> upDown = {57, 60, 64, 69, 72, 76, 72, 69};
    twoBars = upDown;
    twoBars.insert(twoBars.end(), upDown.begin(), upDown.end());
    EXPECT_EQ(arpeggioNotes(ArpMode::UpDown), twoBars);
}

bool sameSamples(const StereoSignal& a, const StereoSignal& b, size_t frames) {
    return a.left.size() >= frames && b.left.size() >= frames &&
           std::memcmp(a.left.data(), b.left.data(), frames * sizeof(float)) == 0 &&
           std::memcmp(a.right.data(), b.right.data(), frames * sizeof(float)) == 0;
}

TEST(Synth, RenderingIsRepeatableAndKeepsNoStateBetweenRenders) {
    const Song& song = veloriaSong();
    const int64_t frames = 2 * 44100;
    const StereoSignal first = renderSong(song, frames);
    const StereoSignal other = renderSong(testSong(beepTrack), 4000);
    const StereoSignal again = renderSong(song, frames);
    EXPECT_TRUE(sameSamples(first, again, static_cast<size_t>(frames)));
    // A shorter render is the start of a longer one.
    EXPECT_TRUE(sameSamples(renderSong(song, frames / 2), first, static_cast<size_t>(frames / 2)));

    const MasteredTrack a = masterTrack(first, song.mastering, song.sampleRate);
    const MasteredTrack b = masterTrack(again, song.mastering, song.sampleRate);
    EXPECT_EQ(a.pcm, b.pcm);
}

} // namespace
} // namespace veloria::music
