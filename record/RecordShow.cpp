#include "record/RecordShow.h"

#include "pixels/Bitmap.h"
#include "pixels/RandomBelow.h"
#include "record/RecordError.h"
#include "record/RecordProgress.h"
#include "record/RemoveOnSignal.h"
#include "record/VideoConsole.h"
#include "record/VideoFile.h"
#include "record/VideoMusic.h"
#include "record/VideoWindowSurface.h"
#include "show/Show.h"

#include <cstdio>
#include <filesystem>
#include <unistd.h>
#include <vector>

namespace veloria {
namespace {

using Duration = VideoTimeline::Duration;
using namespace std::chrono_literals;

constexpr int FramesPerSecond = 60;
// A console's cursor blinks on and off every 530 ms.
constexpr Duration CursorBlink = 530ms;

// The show's platform drawing into one desktop picture on one timeline.
struct RecordingPlatform {
    explicit RecordingPlatform(std::function<void(std::int64_t)> takeFrame)
        : timeline(FramesPerSecond, std::move(takeFrame)) {}

    Platform platform() { return {console, clock, music, surface}; }

    VideoTimeline timeline;
    DesktopPicture picture;
    VideoConsole console{picture};
    TimelineClock clock{timeline};
    VideoMusic music{timeline};
    TimelinePaceClock paceClock{timeline};
    VideoWindowSurface surface{picture, paceClock};
};

// Where the show's movements begin and where the video ends, found by running the show once
// without taking frames: the progress can then say how far along the recording is.
struct ShowMoments {
    VideoMusic::Played track;
    Duration gallery;
    Duration showEnd;
    Duration end; // the track's end, or the show's if that comes later
};

ShowMoments timeTheShow() {
    RecordingPlatform dry([](std::int64_t) {});
    Platform platform = dry.platform();
    runShow(platform);
    // The recording draws the same random dots as a fresh run of the show.
    restartRandom();
    if (!dry.music.played()) throw RecordError("the show played no music");
    const VideoMusic::Played& track = *dry.music.played();
    Duration gallery =
        dry.surface.windowTaken()
            ? std::chrono::duration_cast<Duration>(dry.surface.windowTaken()->time_since_epoch())
            : dry.timeline.now();
    return {track, gallery, dry.timeline.now(), std::max(dry.timeline.now(), track.end())};
}

std::int64_t framesBefore(Duration moment) {
    return (moment.count() * FramesPerSecond + Duration::period::den - 1) / Duration::period::den;
}

std::int64_t soundFramesBefore(Duration moment, std::uint32_t rate) {
    return moment.count() * rate / Duration::period::den;
}

void record(const std::string& file) {
    const ShowMoments moments = timeTheShow();
    const WaveSound& track = moments.track.track;
    VideoFile video(file, {DesktopPicture::Width, DesktopPicture::Height, FramesPerSecond},
                    {track.sampleRate, track.channels});
    RemoveOnSignal removeOnSignal(video.temporaryPath());

    const std::int64_t frames = framesBefore(moments.end);
    RecordProgress progress(stderr, isatty(STDERR_FILENO) == 1, frames,
                            {{"opening", 0},
                             {"music and slides", framesBefore(moments.track.start)},
                             {"gallery", framesBefore(moments.gallery)},
                             {"last picture", framesBefore(moments.showEnd)}});

    std::vector<std::int16_t> sound;
    std::int64_t soundFed = 0;
    RecordingPlatform* recording = nullptr;
    auto takeFrame = [&](std::int64_t k) {
        const Duration at = recording->timeline.frameTime(k);
        DesktopPicture& picture = recording->picture;
        const ColorValue* pixels = picture.frame((at / CursorBlink) % 2 == 0);
        if (picture.frameChange() == Rect{})
            video.addRepeatedFrame();
        else
            video.addFrame(pixels, picture.frameChange());
        // The sound up to the next frame's moment goes with this frame.
        const std::int64_t soundEnd =
            soundFramesBefore(recording->timeline.frameTime(k + 1), track.sampleRate);
        sound.resize(static_cast<std::size_t>((soundEnd - soundFed) * track.channels));
        recording->music.sound(soundFed, sound);
        video.addSound(sound.data(), static_cast<std::size_t>(soundEnd - soundFed));
        soundFed = soundEnd;
        progress.frameDone(k);
    };
    RecordingPlatform platform(takeFrame);
    recording = &platform;
    Platform show = platform.platform();
    runShow(show);
    // The last picture stays until the music ends.
    platform.timeline.advanceTo(moments.end);
    video.finish();
    progress.finish();

    std::error_code error;
    auto bytes = std::filesystem::file_size(file, error);
    std::fprintf(
        stderr, "veloria: recorded %s: %s of video (%lld frames) in %s, %.0f frames/s, %.1f MB\n",
        file.c_str(), minutesAndSeconds(double(frames) / FramesPerSecond).c_str(),
        static_cast<long long>(frames),
        minutesAndSeconds(std::chrono::duration<double>(progress.elapsed()).count()).c_str(),
        progress.framesPerSecond(), error ? 0.0 : double(bytes) / 1e6);
}

} // namespace

int recordShow(const std::string& file) {
    try {
        record(file);
        return 0;
    } catch (const RecordError& e) {
        std::fprintf(stderr, "veloria: %s\n", e.what());
    } catch (const PictureError& e) {
        std::fprintf(stderr, "veloria: %s\n", e.what());
    }
    return 1;
}

} // namespace veloria
