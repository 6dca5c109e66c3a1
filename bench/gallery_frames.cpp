// Writes the sample frames of the recorded gallery stretch (bench/GallerySequence.h) as PNG
// files, DIR/NAME.png: the whole surface, 1150 x 1020 pixels, which the canvases show on the
// console's grid. Other terminal image tools are timed on these files, so that they encode the
// very pixels the canvas benchmarks encode.
// Usage: gallery_frames DIR
#include "bench/GallerySequence.h"
#include "terminal/canvas/Viewport.h"
#include "tests/fakes/PngFile.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    using namespace veloria::bench;
    if (argc != 2) {
        std::fprintf(stderr, "usage: gallery_frames DIR\n");
        return 2;
    }
    const GallerySequence sequence;
    for (const SampleFrame& frame : sampleFrames(sequence)) {
        std::string path = std::string(argv[1]) + "/" + frame.name + ".png";
        const veloria::PixelSurface surface = sequence.surfaceAfter(frame.framesPlayed);
        if (!veloria::testing::writePng(path, surface.width(), surface.height(),
                                        [&](int x, int y) { return surface.at(x, y); })) {
            std::fprintf(stderr, "gallery_frames: cannot write %s\n", path.c_str());
            return 1;
        }
        std::printf("%s\n", path.c_str());
    }
    return 0;
}
