#include "media/common/DeterministicMath.h"
#include "media/slides/ShapeDistance.h"
#include "media/slides/SlideArt.h"
#include "media/slides/SlideScenes.h"
#include "media/slides/ValueNoise.h"

#include <algorithm>

namespace veloria::slides {

namespace {

constexpr int SlideRows = 65;

constexpr Vec2 MoonCentre{70.0, 62.0};
constexpr double MoonRadius = 31.0;
// The halo ring: sharp on its inner edge, fading outwards.
constexpr double HaloRadius = 56.0;

// Where the giant stands: the middle of his feet on the hill's crest.
constexpr Vec2 GiantFeet{71.0, 94.0};
constexpr double FigureScale = 1.3;

// The shore line of the lake in front of the hills.
constexpr double WaterLine = 104.0;

double sky(double x, double y) {
    // One star in a cell now and then, of varying brightness.
    const int column = static_cast<int>(x), row = static_cast<int>(y / CellAspect);
    double value = 0.0;
    if (latticeUnit(column, row, 3u) < 0.03) value = 0.06 + 0.3 * latticeUnit(column, row, 5u);
    const double d = length(Vec2{x, y} - MoonCentre);
    const double glow = 0.6 * dmath::exp(-std::max(d - MoonRadius, 0.0) / 5.0);
    const double inner = (HaloRadius - d) / 2.2, outer = (d - HaloRadius) / 9.0;
    const double halo = 0.3 * (d < HaloRadius ? dmath::exp(-inner * inner) : dmath::exp(-outer));
    return std::max(value, glow + halo);
}

double moon(double x, double y) {
    const double dx = (x - MoonCentre.x) / MoonRadius, dy = (y - MoonCentre.y) / MoonRadius;
    const double r2 = dx * dx + dy * dy;
    const double seas = smoothstep(0.45, 0.6, fractalNoise(dx * 1.6 + 3.0, dy * 1.6, 4, 17u));
    const double limb = 0.88 + 0.12 * std::sqrt(std::max(0.0, 1.0 - r2));
    return limb * (1.0 - 0.3 * seas);
}

// The figure as a signed distance: a giant with a child on his shoulders, the child's arm
// raised to the sky. Drawn with the giant's feet at the origin and y up, in units that
// FigureScale turns into cell widths; the giant is 36 of them tall.
double figureDistance(Vec2 p) {
    const double x = (p.x - GiantFeet.x) / FigureScale;
    const double y = (GiantFeet.y - p.y) / FigureScale;
    const Vec2 q{x, y};
    double d = 1e300;
    // The giant: legs apart, a broad trunk, arms up to hold the child's shins.
    d = std::min(d, segmentDistance(q, {-2.2, 17.0}, {-4.6, 1.0}, 2.0));
    d = std::min(d, segmentDistance(q, {2.2, 17.0}, {4.6, 1.0}, 2.0));
    d = std::min(d, boxDistance(q, {0.0, 23.0}, 5.6, 6.5, 2.8));
    d = std::min(d, segmentDistance(q, {0.0, 28.0}, {0.0, 31.0}, 1.6));
    d = std::min(d, circleDistance(q, {0.0, 33.0}, 3.2));
    for (const double side : {-1.0, 1.0}) {
        d = std::min(d, segmentDistance(q, {side * 5.0, 27.0}, {side * 8.2, 21.0}, 1.5));
        d = std::min(d, segmentDistance(q, {side * 8.2, 21.0}, {side * 6.0, 26.5}, 1.3));
        // The child's legs, astride his neck and hanging over his chest.
        d = std::min(d, segmentDistance(q, {side * 1.8, 36.0}, {side * 5.2, 33.0}, 1.4));
        d = std::min(d, segmentDistance(q, {side * 5.2, 33.0}, {side * 5.8, 26.0}, 1.2));
    }
    // The child: trunk, head, one arm raised to the sky and one on the giant's head.
    d = std::min(d, boxDistance(q, {0.0, 39.0}, 2.5, 3.5, 1.6));
    d = std::min(d, segmentDistance(q, {0.0, 42.0}, {0.2, 43.5}, 1.0));
    d = std::min(d, circleDistance(q, {0.3, 45.6}, 2.6));
    d = std::min(d, segmentDistance(q, {1.8, 41.0}, {5.0, 44.0}, 1.0));
    d = std::min(d, segmentDistance(q, {5.0, 44.0}, {7.2, 48.0}, 0.9));
    d = std::min(d, segmentDistance(q, {-1.8, 41.0}, {-3.4, 36.5}, 0.9));
    return d * FigureScale;
}

// The skyline of the far hills and the hill the giant stands on, which rises from the lake.
double farHills(double x) {
    return 95.0 - 3.0 * dmath::sin(x * 0.045 + 1.0) - 2.0 * dmath::sin(x * 0.13 + 0.4) -
           1.5 * valueNoise(x * 0.08, 0.0, 61u);
}
double nearHill(double x) {
    const double t = (x - GiantFeet.x) / 30.0;
    return GiantFeet.y + 0.5 + 12.0 * t * t;
}

// Everything above the water line: sky, moon, hills and the figure.
double landAndSky(double x, double y) {
    const Vec2 p{x, y};
    // The hills are dark, but the moon behind them lights a rim along their crests.
    const double near = nearHill(x);
    double value = 0.0;
    if (y > near) {
        const double grass = fractalNoise(x * 0.25, y * 0.5, 3, 71u);
        value =
            0.02 + 0.1 * smoothstep(0.6, 0.8, grass) + 0.4 * (1.0 - smoothstep(0.0, 1.6, y - near));
    } else if (const double far = farHills(x); y > far) {
        value = 0.08 + 0.07 * fractalNoise(x * 0.06, y * 0.25, 3, 83u) +
                0.3 * (1.0 - smoothstep(0.0, 2.0, y - far));
    } else {
        value = sky(x, y);
        value = mix(value, moon(x, y), insideMask(circleDistance(p, MoonCentre, MoonRadius), 0.4));
    }
    return mix(value, 0.0, insideMask(figureDistance(p), 0.3));
}

// The lake mirrors the scene about the water line, broken into horizontal streaks by the
// ripples, which grow towards the viewer.
double lake(double x, double y) {
    const double depth = y - WaterLine;
    const double swing = 1.0 + depth / 8.0;
    const double ripple = valueNoise(x * 0.06, y * 0.55, 91u) - 0.5;
    const double shimmer = smoothstep(0.3, 0.7, valueNoise(x * 0.12, y * 0.8, 97u));
    const double mirrored = landAndSky(x + 5.0 * swing * ripple, WaterLine - depth);
    // Dim things leave no reflection on the dark water; bright ones glitter.
    return std::max(0.0, mirrored - 0.12) * (0.35 + 0.45 * shimmer);
}

} // namespace

std::vector<std::string> drawMoonSlide() {
    const Picture picture = [](double x, double y) {
        return y < WaterLine ? landAndSky(x, y) : lake(x, y);
    };
    return toCharacterLines(sampleCells(SlideColumns, SlideRows, 4, picture), PictureRamp);
}

} // namespace veloria::slides
