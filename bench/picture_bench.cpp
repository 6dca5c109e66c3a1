// Loading the show's pictures: one pixel read per cell of the grid, as the gallery does it,
// with the process's private (anonymous) memory afterwards as a counter.
#include "pixels/LoadPicture.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

namespace {

class ProgramWindow final : public veloria::WindowSurface {
public:
    veloria::WindowHandle GetConsoleWindow() override { return this; }
    veloria::DeviceContext GetDC(veloria::WindowHandle) override { return this; }
    veloria::ModuleHandle GetWindowModule(veloria::WindowHandle) override {
        return veloria::programModule();
    }
    void SetPixel(veloria::DeviceContext, int, int, veloria::ColorValue) override {}
};

// RssAnon from /proc/self/status, in kB: memory the process owns, not the mapped program.
double privateKilobytes() {
    std::ifstream status("/proc/self/status");
    for (std::string key; status >> key;) {
        if (key == "RssAnon:") {
            double kb = 0;
            status >> kb;
            return kb;
        }
    }
    return 0;
}

void BM_LoadPicture(benchmark::State& state, const char* name, int h, int w) {
    ProgramWindow window;
    for (auto _ : state) {
        veloria::PixelGrid grid = veloria::loadPicture(window, name, h, w, &window);
        benchmark::DoNotOptimize(grid.data());
        state.counters["private_kB"] = privateKilobytes();
    }
}

BENCHMARK_CAPTURE(BM_LoadPicture, QIR, "QIR", 790, 1000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LoadPicture, TOLV, "TOLV", 962, 1000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LoadPicture, SUN, "SUN", 922, 640)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LoadPicture, GLASS, "GLASS", 700, 545)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LoadPicture, RASKEP, "RASKEP", 1000, 645)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
