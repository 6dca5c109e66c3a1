#include "media/slides/Lettering.h"
#include "media/slides/ShapeDistance.h"
#include "media/slides/SlideArt.h"
#include "media/slides/SlideScenes.h"

#include <algorithm>

namespace veloria::slides {

namespace {

constexpr int BandRows = 16;

// One band of lettering, BandRows rows tall, and the empty lines that follow it.
struct TitleBand {
    std::string_view text;
    double width;  // of the whole text, in cell widths
    double height; // of the letters, in cell widths: a whole number of rows per font pixel
    int emptyLinesAfter;
};

constexpr TitleBand Bands[] = {
    {"VELORIA", 140.0, 28.0, 2},
    {"DEMOSCENE", 144.0, 28.0, 1},
    {"GREETINGS", 144.0, 28.0, 0},
};

// Where the drop shadow falls from the letters, in cell widths.
constexpr double ShadowRight = 1.5;
constexpr double ShadowDown = 2.0;

std::vector<std::string> drawBand(const TitleBand& band) {
    const BitmapText text(band.text);
    const double pixelWidth = band.width / text.columns();
    const double pixelHeight = band.height / text.rows();
    const double left = (SlideColumns - band.width - ShadowRight) / 2.0;
    // One row down from the band's top: the font pixels then cover whole rows, so horizontal
    // strokes come out solid instead of smeared over a row of half-tones.
    const double top = CellAspect;
    auto ink = [&](double x, double y) {
        return text.ink((x - left) / pixelWidth, (y - top) / pixelHeight);
    };
    const Picture picture = [&](double x, double y) {
        const double face = smoothstep(0.4, 0.6, ink(x, y));
        // Bright at the top of the letters, a shade darker towards their feet.
        const double depth = clamp01((y - top) / band.height);
        const double faceShade = mix(1.0, 0.78, depth);
        const double shadow = 0.3 * smoothstep(0.2, 0.8, ink(x - ShadowRight, y - ShadowDown));
        return std::max(face * faceShade, shadow * (1.0 - face));
    };
    return toCharacterLines(sampleCells(SlideColumns, BandRows, 4, picture), TitleRamp);
}

} // namespace

std::vector<std::string> drawTitleSlide() {
    std::vector<std::string> lines;
    for (const TitleBand& band : Bands) {
        for (std::string& line : drawBand(band)) lines.push_back(std::move(line));
        lines.insert(lines.end(), band.emptyLinesAfter, std::string(SlideColumns, TitleRamp[0]));
    }
    return lines;
}

} // namespace veloria::slides
