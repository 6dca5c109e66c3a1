// Plays a track through the system's sound service: PulseAudio (or PipeWire's Pulse server),
// else ALSA's default device. A detached thread streams the PCM straight from the program's
// read-only data, which stays in place until the process ends.
#include "media/Music.h"
#include "media/Resources.h"
#include "media/RiffWave.h"

#include <alsa/asoundlib.h>
#include <csignal>
#include <pthread.h>
#include <pulse/simple.h>
#include <thread>

namespace veloria {
namespace {

bool streamToPulse(const WaveSound& sound) {
    pa_sample_spec spec{};
    spec.format = PA_SAMPLE_S16LE;
    spec.rate = sound.sampleRate;
    spec.channels = static_cast<std::uint8_t>(sound.channels);
    int error = 0;
    pa_simple* stream = pa_simple_new(nullptr, "veloria", PA_STREAM_PLAYBACK, nullptr, "music",
                                      &spec, nullptr, nullptr, &error);
    if (!stream) return false;
    const std::size_t chunk = sound.sampleRate * sound.channels * 2 / 10;
    for (std::size_t at = 0; at < sound.samples.size(); at += chunk) {
        auto part = sound.samples.subspan(at, std::min(chunk, sound.samples.size() - at));
        if (pa_simple_write(stream, part.data(), part.size(), &error) < 0) break;
    }
    pa_simple_drain(stream, &error);
    pa_simple_free(stream);
    return true;
}

void silentAlsaError(const char*, int, const char*, int, const char*, ...) {}

void streamToAlsa(const WaveSound& sound) {
    snd_lib_error_set_handler(silentAlsaError);
    snd_pcm_t* pcm = nullptr;
    if (snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, 0) < 0) return;
    if (snd_pcm_set_params(pcm, SND_PCM_FORMAT_S16_LE, SND_PCM_ACCESS_RW_INTERLEAVED,
                           sound.channels, sound.sampleRate, 1, 200000) == 0) {
        const std::size_t frameBytes = sound.channels * 2u;
        std::size_t frames = sound.samples.size() / frameBytes, done = 0;
        while (done < frames) {
            snd_pcm_sframes_t n =
                snd_pcm_writei(pcm, sound.samples.data() + done * frameBytes, frames - done);
            if (n < 0 && snd_pcm_recover(pcm, static_cast<int>(n), 1) < 0) break;
            if (n > 0) done += static_cast<std::size_t>(n);
        }
        snd_pcm_drain(pcm);
    }
    snd_pcm_close(pcm);
}

class PosixMusic final : public Music {
public:
    void play(std::string_view name) override {
        auto bytes = findResource(programModule(), ResourceType::Sound, name);
        std::optional<WaveSound> sound = bytes ? parseWave(*bytes) : std::nullopt;
        if (!sound || sound->bitsPerSample != 16) return;
        // The player takes no signals, so the show's handlers always run on the show's thread.
        sigset_t all, previous;
        sigfillset(&all);
        pthread_sigmask(SIG_SETMASK, &all, &previous);
        std::thread([s = *sound] {
            if (!streamToPulse(s)) streamToAlsa(s);
        }).detach();
        pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    }
};

} // namespace

std::unique_ptr<Music> openMusic() {
    return std::make_unique<PosixMusic>();
}

} // namespace veloria
