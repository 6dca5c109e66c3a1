#include "show/Sound.h"

#include "console/ShowArtSlide.h"
#include "console/TypeText.h"
#include "media/slides/ArtSlides.h"
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

} // namespace

int runShow(Platform& p) {
    playOpening(p);
    playMusicAndSlides(p);
    p.console.readKey();
    return 0;
}

} // namespace veloria
