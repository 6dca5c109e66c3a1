#include "record/VideoMusic.h"

#include "media/LittleEndian.h"
#include "media/Resources.h"
#include "record/RecordError.h"

#include <algorithm>

namespace veloria {

WaveSound builtInTrack(std::string_view name) {
    auto file = findResource(programModule(), ResourceType::Sound, name);
    std::optional<WaveSound> wave;
    if (file) wave = parseWave(*file);
    if (!wave) throw RecordError("the track " + std::string(name) + " is not built in");
    if (wave->bitsPerSample != 16)
        throw RecordError("the track " + std::string(name) + " is not 16-bit sound");
    return *wave;
}

VideoTimeline::Duration VideoMusic::Played::end() const {
    auto frames = static_cast<std::int64_t>(track.samples.size() / (2 * track.channels));
    return start + VideoTimeline::Duration(frames * VideoTimeline::Duration::period::den /
                                           track.sampleRate);
}

void VideoMusic::play(std::string_view name) {
    played_ = Played{std::string(name), builtInTrack(name), timeline_.now()};
}

void VideoMusic::sound(std::int64_t first, std::span<std::int16_t> out) const {
    std::fill(out.begin(), out.end(), std::int16_t{0});
    if (!played_) return;
    const WaveSound& track = played_->track;
    // The track's first frame in the video's sound, rounded to the nearest frame.
    const std::int64_t start =
        (played_->start.count() * track.sampleRate + VideoTimeline::Duration::period::den / 2) /
        VideoTimeline::Duration::period::den;
    const auto samplesIn = static_cast<std::int64_t>(track.samples.size() / 2);
    const auto count = static_cast<std::int64_t>(out.size());
    // Samples of the track that fall inside the asked-for span.
    const std::int64_t from = std::max<std::int64_t>(0, (first - start) * track.channels);
    const std::int64_t to = std::min(samplesIn, (first - start) * track.channels + count);
    for (std::int64_t s = from; s < to; ++s)
        out[static_cast<std::size_t>(s - (first - start) * track.channels)] =
            static_cast<std::int16_t>(readLittle16(track.samples, static_cast<std::size_t>(2 * s)));
}

} // namespace veloria
