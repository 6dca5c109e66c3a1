// draw_slides OUT.cpp: draws the show's three character-art slides and writes them as a C++
// source file defining veloria::ArtSlide1, ArtSlide2 and ArtSlide3.
#include "media/slides/ArtSlidesSource.h"
#include "media/slides/SlideScenes.h"

#include <cstdio>
#include <exception>
#include <fstream>

int main(int argc, char** argv) {
    using namespace veloria::slides;
    if (argc != 2) {
        std::fprintf(stderr, "usage: draw_slides OUT.cpp\n");
        return 2;
    }
    try {
        const std::string source = artSlidesSource({
            {"ArtSlide1", drawTitleSlide()},
            {"ArtSlide2", drawDisketteSlide()},
            {"ArtSlide3", drawMoonSlide()},
        });
        // Binary mode: the same bytes on Windows as elsewhere.
        std::ofstream out(argv[1], std::ios::binary);
        out << source;
        out.close();
        if (!out) {
            std::fprintf(stderr, "draw_slides: cannot write %s\n", argv[1]);
            return 1;
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "draw_slides: %s\n", error.what());
        return 1;
    }
    return 0;
}
