// Frames per second of a recording into each kind of video file at the show's size, 1920 x 1080
// at 60 frames per second with 44.1 kHz stereo sound: the gallery's finished first picture
// handed in anew every frame; the same picture repeated without converting it; and the
// gallery's first noise burst and the start of its first picture's reveal, recorded from the
// show, a thirtieth of a second of pixel calls in every frame (twice the show's own pace). Each
// run records ten seconds into a whole file, finish() included; the times are wall-clock time
// and the CPU time of all the process's threads.
#include "bench/GallerySequence.h"
#include "pixels/GalleryGeometry.h"
#include "record/VideoFile.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <numbers>
#include <string>
#include <vector>

namespace veloria::bench {
namespace {

constexpr int Width = 1920;
constexpr int Height = 1080;
constexpr int Frames = 600;
constexpr SoundShape Sound{44100, 2};
constexpr int SoundPerFrame = 44100 / 60;

// A desktop-sized surface, of 192 x 54 cells of 10 x 20 pixels, that the gallery's calls land
// on at its top left, in the gallery's drawing area: only that area changes from frame to frame.
const WindowLayout Desktop{Width / 10, Height / 20, 10, 20, GalleryWindow.drawingArea};
constexpr Rect Whole{0, 0, Width, Height};

const GallerySequence& gallery() {
    static const GallerySequence sequence;
    return sequence;
}

enum class Pictures { Same, Repeated, Gallery };

void record(benchmark::State& state, const std::string& extension, Pictures pictures) {
    const std::string path =
        (std::filesystem::temp_directory_path() / ("video_file_bench" + extension)).string();
    PixelSurface finished{Desktop};
    for (std::size_t k = 0; k < gallery().frames(); ++k) gallery().play(k, finished);
    std::vector<std::int16_t> tone(2 * SoundPerFrame);
    for (int i = 0; i < SoundPerFrame; ++i)
        tone[2 * i] = tone[2 * i + 1] = static_cast<std::int16_t>(
            8000 * std::sin(2 * std::numbers::pi * 440 * i / double(Sound.sampleRate)));

    for (auto _ : state) {
        PixelSurface surface{Desktop};
        VideoFile video(path, {Width, Height, 60}, Sound);
        for (int k = 0; k < Frames; ++k) {
            switch (pictures) {
            case Pictures::Same: video.addFrame(finished.pixels.data(), Whole); break;
            case Pictures::Repeated:
                if (k == 0)
                    video.addFrame(finished.pixels.data(), Whole);
                else
                    video.addRepeatedFrame();
                break;
            case Pictures::Gallery:
                gallery().play(k, surface);
                video.addFrame(surface.pixels.data(), k == 0 ? Whole : Desktop.drawingArea);
                break;
            }
            video.addSound(tone.data(), SoundPerFrame);
        }
        video.finish();
    }
    state.counters["frames_per_second"] =
        benchmark::Counter(double(Frames), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["kB_per_frame"] = double(std::filesystem::file_size(path)) / Frames / 1000;
    std::filesystem::remove(path);
}

void registerAll() {
    const std::pair<const char*, Pictures> cases[] = {
        {"same", Pictures::Same}, {"repeated", Pictures::Repeated}, {"gallery", Pictures::Gallery}};
    for (const char* extension : {".mp4", ".webm"})
        for (const auto& [name, pictures] : cases)
            benchmark::RegisterBenchmark(
                (std::string(name) + "/" + (extension + 1)).c_str(),
                [extension, pictures](benchmark::State& s) { record(s, extension, pictures); })
                ->Iterations(1)
                ->MeasureProcessCPUTime()
                ->UseRealTime()
                ->Unit(benchmark::kSecond);
}

} // namespace
} // namespace veloria::bench

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    veloria::bench::registerAll();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
