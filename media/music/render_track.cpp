// render_track OUT.wav: renders the veloria soundtrack, masters it and writes the WAV file.
#include "media/music/Mastering.h"
#include "media/music/Score.h"
#include "media/music/Synth.h"
#include "media/music/WavFile.h"

#include <cstdio>

int main(int argc, char** argv) {
    using namespace veloria::music;
    if (argc != 2) {
        std::fprintf(stderr, "usage: render_track OUT.wav\n");
        return 2;
    }
    const Song& song = veloriaSong();
    StereoSignal signal = renderSong(song, song.frames);
    MasteredTrack track = masterTrack(signal, song.mastering, song.sampleRate);
    std::vector<uint8_t> bytes =
        encodeWav(track.pcm, {2, static_cast<int>(song.sampleRate)}, "veloria synth");
    if (!writeFile(argv[1], bytes)) {
        std::fprintf(stderr, "render_track: cannot write %s\n", argv[1]);
        return 1;
    }
    std::printf("render_track: %s, %.2f s, %.1f LUFS\n", argv[1],
                static_cast<double>(song.frames) / song.sampleRate, track.loudnessLufs);
    return 0;
}
