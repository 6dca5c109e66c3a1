#include "record/VideoMusic.h"

#include "media/LittleEndian.h"
#include "record/RecordError.h"

#include <gtest/gtest.h>

#include <vector>

namespace veloria {
namespace {

using namespace std::chrono_literals;

std::int16_t trackSample(const WaveSound& track, std::size_t i) {
    return static_cast<std::int16_t>(readLittle16(track.samples, 2 * i));
}

TEST(VideoMusic, LaysTheTrackInFromTheMomentItWasStarted) {
    VideoTimeline timeline(60, [](std::int64_t) {});
    VideoMusic music(timeline);
    timeline.advanceTo(500ms);
    EXPECT_FALSE(music.played());
    music.play("VELORIA");
    ASSERT_TRUE(music.played());
    const WaveSound& track = music.played()->track;
    const std::int64_t start = track.sampleRate / 2;
    const std::size_t channels = track.channels;
    const auto trackFrames = static_cast<std::int64_t>(track.samples.size() / 2 / channels);
    EXPECT_EQ(music.played()->end(),
              500ms + VideoTimeline::Duration(trackFrames * 1000000000 / track.sampleRate));

    // A span across the start: silence, then the track's own first samples.
    std::vector<std::int16_t> sound(20 * channels, 1);
    music.sound(start - 10, sound);
    for (std::size_t i = 0; i < 10 * channels; ++i) EXPECT_EQ(sound[i], 0) << i;
    for (std::size_t i = 0; i < 10 * channels; ++i)
        EXPECT_EQ(sound[10 * channels + i], trackSample(track, i)) << i;

    // A span across the end: the track's last samples, then silence.
    music.sound(start + trackFrames - 10, sound);
    for (std::size_t i = 0; i < 10 * channels; ++i)
        EXPECT_EQ(sound[i], trackSample(track, (trackFrames - 10) * channels + i)) << i;
    for (std::size_t i = 10 * channels; i < sound.size(); ++i) EXPECT_EQ(sound[i], 0) << i;

    // Some of the track is not silence, so the comparisons above can tell it apart.
    music.sound(start + track.sampleRate * 10, sound);
    EXPECT_NE(std::count(sound.begin(), sound.end(), 0), static_cast<long>(sound.size()));
}

TEST(VideoMusic, BeforeTheTrackStartsThereIsSilence) {
    VideoTimeline timeline(60, [](std::int64_t) {});
    VideoMusic music(timeline);
    std::vector<std::int16_t> sound(64, 7);
    music.sound(0, sound);
    EXPECT_EQ(std::count(sound.begin(), sound.end(), 0), 64);
}

TEST(VideoMusic, ATrackThatIsNotBuiltInIsAnError) {
    VideoTimeline timeline(60, [](std::int64_t) {});
    VideoMusic music(timeline);
    EXPECT_THROW(music.play("NOSUCH"), RecordError);
}

} // namespace
} // namespace veloria
