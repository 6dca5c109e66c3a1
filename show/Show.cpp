#include "show/Show.h"

#include "console/ShowArtSlide.h"
#include "console/TypeText.h"
#include "media/slides/ArtSlides.h"
#include "pixels/GalleryGeometry.h"
#include "pixels/LoadPicture.h"
#include "pixels/PixelEffects.h"
#include "show/OpeningTexts.h"

namespace veloria {
namespace {

void playOpening(Platform& p) {
    p.console.setInputCodePage(1251);
    p.console.setOutputCodePage(1251);
    p.console.setSize(55, 20);
    typeText(p.console, p.clock, LoadingText, 170);
    typeText(p.console, p.clock, IntroText1, 50);
    typeText(p.console, p.clock, IntroText2, 50);
    typeText(p.console, p.clock, SoundPrompt, 150);
    typeText(p.console, p.clock, CountdownText, 350);
    typeText(p.console, p.clock, TitleText, 100);
}

void playMusicAndSlides(Platform& p) {
    p.music.play("VELORIA");
    p.console.setSize(150, 51);
    p.console.setColors(0x0A);
    showArtSlide(p.console, p.clock, ArtSlide1, 30, 7000);
    showArtSlide(p.console, p.clock, ArtSlide2, 30, 7000);
    showArtSlide(p.console, p.clock, ArtSlide3, 30, 7000);
}

struct GalleryPicture {
    const char* name;
    int h, w;
    int samples;
};

constexpr GalleryPicture Gallery[] = {
    {"QIR", 790, 1000, 5000000},  {"TOLV", 962, 1000, 5000000},    {"SUN", 922, 640, 4000000},
    {"GLASS", 700, 545, 4000000}, {"RASKEP", 1000, 645, 10000000},
};

void playGallery(Platform& p) {
    p.console.setSize(GalleryWindow.columns, GalleryWindow.rows);
    WindowHandle window = p.surface.GetConsoleWindow();
    DeviceContext dc = p.surface.GetDC(window);
    for (const GalleryPicture& picture : Gallery) {
        noiseBurst(p.surface, dc, 500000);
        // Each grid goes before the next is loaded: one picture's pixels in memory at a time.
        PixelGrid grid = loadPicture(p.surface, picture.name, picture.h, picture.w, window);
        revealPicture(p.surface, grid, dc, picture.h, picture.w, picture.samples);
    }
}

} // namespace

int runShow(Platform& p) {
    playOpening(p);
    playMusicAndSlides(p);
    playGallery(p);
    p.console.readKey();
    return 0;
}

} // namespace veloria
