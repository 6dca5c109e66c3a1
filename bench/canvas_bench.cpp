// CPU time and bytes per frame of each terminal canvas: over a stretch recorded from the show
// (its first noise burst and its first picture's reveal, 30 frames per second), and for each
// of the sample frames (noise, the reveal under way, the finished picture) sent whole.
#include "bench/GallerySequence.h"
#include "terminal/SharedMemory.h"
#include "terminal/canvas/HalfBlockCanvas.h"
#include "terminal/canvas/KittyCanvas.h"
#include "terminal/canvas/SixelCanvas.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace veloria::bench {
namespace {

using MakeCanvas = std::function<std::unique_ptr<TerminalCanvas>()>;

// The gallery window's own grid on a screen with cells of the window's size.
const TerminalGeometry Console{GalleryWindow.columns, GalleryWindow.rows, GalleryWindow.width(),
                               GalleryWindow.height()};

const GallerySequence& gallery() {
    static const GallerySequence sequence;
    return sequence;
}

// Removes the shared-memory objects this process made, as a terminal does once it has read
// them: freeing their pages is the terminal's work, not the canvas's.
void takeSharedMemory() {
    const std::string prefix = "veloria-" + std::to_string(getpid()) + "-";
    for (const auto& entry : std::filesystem::directory_iterator("/dev/shm")) {
        std::string name = entry.path().filename().string();
        if (name.starts_with(prefix)) removeSharedMemory("/" + name);
    }
}

// Frames in order, from a black surface; the sequence starts over when it ends.
void galleryFrames(benchmark::State& state, const MakeCanvas& make) {
    const GallerySequence& sequence = gallery();
    auto canvas = make();
    PixelSurface surface{GalleryWindow};
    std::size_t frame = 0, bytes = 0, frames = 0;
    std::string out;
    for (auto _ : state) {
        state.PauseTiming();
        if (frame == sequence.frames()) {
            frame = 0;
            surface = PixelSurface{GalleryWindow};
            canvas->invalidate();
        }
        sequence.play(frame++, surface);
        out.clear();
        state.ResumeTiming();
        canvas->encodeFrame(surface, Console, out);
        state.PauseTiming();
        takeSharedMemory();
        state.ResumeTiming();
        bytes += out.size();
        ++frames;
    }
    state.counters["bytes_per_frame"] = static_cast<double>(bytes) / static_cast<double>(frames);
}

// One surface sent whole every time.
void wholeFrame(benchmark::State& state, const MakeCanvas& make, const PixelSurface& surface) {
    auto canvas = make();
    std::string out;
    for (auto _ : state) {
        out.clear();
        canvas->invalidate();
        canvas->encodeFrame(surface, Console, out);
        benchmark::DoNotOptimize(out.data());
        state.PauseTiming();
        takeSharedMemory();
        state.ResumeTiming();
    }
    state.counters["bytes_per_frame"] = static_cast<double>(out.size());
}

// The sample frames' surfaces, made once.
const std::vector<PixelSurface>& sampleSurfaces() {
    static const std::vector<PixelSurface> surfaces = [] {
        std::vector<PixelSurface> made;
        for (const SampleFrame& f : sampleFrames(gallery()))
            made.push_back(gallery().surfaceAfter(f.framesPlayed));
        return made;
    }();
    return surfaces;
}

const MakeCanvas HalfBlocks = [] { return makeHalfBlockCanvas(ColourDepth::TrueColour); };
const MakeCanvas HalfBlocks256 = [] { return makeHalfBlockCanvas(ColourDepth::Palette256); };
const MakeCanvas Sixel = [] { return makeSixelCanvas({1000, 1000}, SixelFrames::Overlays); };
// For a terminal that paints a sixel image's transparent background (mlterm).
const MakeCanvas SixelWhole = [] { return makeSixelCanvas({1000, 1000}, SixelFrames::Whole); };
const MakeCanvas Kitty = [] { return makeKittyCanvas(KittyTransfer::Compressed); };
// The objects it makes are removed after each frame, as the terminal would.
const MakeCanvas KittyShared = [] { return makeKittyCanvas(KittyTransfer::SharedMemory); };

void registerAll() {
    struct Named {
        const char* name;
        const MakeCanvas* make;
    };
    // Every canvas plays the whole recorded stretch.
    const int whole = static_cast<int>(gallery().frames());
    const Named canvases[] = {{"half_blocks", &HalfBlocks},
                              {"half_blocks_256", &HalfBlocks256},
                              {"sixel", &Sixel},
                              {"sixel_whole_images", &SixelWhole},
                              {"kitty", &Kitty},
                              {"kitty_shared_memory", &KittyShared}};
    for (const Named& c : canvases) {
        const MakeCanvas& make = *c.make;
        benchmark::RegisterBenchmark((std::string("gallery/") + c.name).c_str(),
                                     [&make](benchmark::State& s) { galleryFrames(s, make); })
            ->Iterations(whole)
            ->Unit(benchmark::kMillisecond);
        const std::vector<SampleFrame> samples = sampleFrames(gallery());
        for (std::size_t k = 0; k < samples.size(); ++k)
            benchmark::RegisterBenchmark(
                (samples[k].name + std::string("_frame/") + c.name).c_str(),
                [&make, k](benchmark::State& s) { wholeFrame(s, make, sampleSurfaces()[k]); })
                ->Unit(benchmark::kMillisecond);
    }
}

} // namespace
} // namespace veloria::bench

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    veloria::bench::registerAll();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
