#include "media/common/DeterministicMath.h"
#include "media/slides/ShapeDistance.h"
#include "media/slides/SlideArt.h"
#include "media/slides/SlideScenes.h"
#include "media/slides/ValueNoise.h"

#include <algorithm>

namespace veloria::slides {

namespace {

constexpr int SlideRows = 68;

// The diskette, upright, its shutter end towards the drive below it. The picture is meant to
// be whole in the last 51 rows, which stay on screen; the rows above trail its fall.
constexpr Vec2 DiskCentre{75.0, 73.0};
constexpr double DiskHalfWidth = 28.0;
constexpr double DiskHalfHeight = 35.0;

// Fainter copies of the diskette above it, the trail of its fall.
constexpr double TrailStep = 11.0;
constexpr double TrailFade[] = {0.42, 0.24, 0.12};

// The drive's front panel, its slot and its light.
constexpr Vec2 PanelCentre{75.0, 123.5};
constexpr double PanelHalfWidth = 65.0;
constexpr double PanelHalfHeight = 11.5;
constexpr Vec2 SlotCentre{75.0, 119.0};
constexpr Vec2 LightCentre{27.0, 129.0};
constexpr double LightRadius = 2.4;

// Positions on the diskette, relative to its centre.
Vec2 onDisk(double dx, double dy) {
    return Vec2{DiskCentre.x + dx, DiskCentre.y + dy};
}

// The label, recessed at the far end: a printed band and three lines of handwriting.
double label(Vec2 p, double plastic) {
    const Vec2 centre = onDisk(0.0, -17.0);
    const double edge = boxDistance(p, centre, 23.0, 14.0, 1.0);
    double value = mix(plastic, 0.04, insideMask(edge - 1.8, 0.4));
    const double top = centre.y - 14.0;
    double paper = p.y < top + 6.0 ? 0.7 : 0.94;
    for (int line = 0; line < 3; ++line) {
        const double lineY = top + 13.0 + 6.0 * line;
        const double right = centre.x + (line == 2 ? 2.0 : 17.0);
        if (p.x < centre.x - 19.0 || p.x > right) continue;
        const double wobble = 0.8 * (valueNoise(p.x * 0.5, line * 3.0, 11u) - 0.5);
        const double written = smoothstep(0.2, 0.4, valueNoise(p.x * 0.45, line * 5.0, 23u));
        paper = mix(paper, 0.3, insideMask(std::abs(p.y - lineY - wobble) - 0.9, 0.3) * written);
    }
    return mix(value, paper, insideMask(edge, 0.4));
}

double diskette(Vec2 p) {
    const double body = boxDistance(p, DiskCentre, DiskHalfWidth, DiskHalfHeight, 1.5);
    if (body > 1.0) return 0.0;
    const double dx = (p.x - DiskCentre.x) / DiskHalfWidth;
    const double dy = (p.y - DiskCentre.y) / DiskHalfHeight;
    // Dark plastic lit from the upper left, with a bright rim on the lit edges.
    double value = 0.32 - 0.02 * dx - 0.02 * dy;
    const bool litEdge = dx < dy ? dx < -dy : dy < -dx;
    value = mix(litEdge ? 0.78 : 0.12, value, insideMask(body + 1.2, 0.5));
    value = label(p, value);

    // The hub in the middle: a dark well, the metal hub and its spindle hole.
    const Vec2 hub = onDisk(0.0, 6.0);
    value = mix(value, 0.04, insideMask(circleDistance(p, hub, 9.0), 0.4));
    const double hubMetal = 0.8 - 0.12 * (p.x - hub.x + p.y - hub.y) / 6.5;
    value = mix(value, hubMetal, insideMask(circleDistance(p, hub, 6.5), 0.4));
    value = mix(value, 0.04, insideMask(boxDistance(p, hub, 1.2, 2.4), 0.3));

    // The metal shutter over the head window, at the end that goes into the drive.
    const Vec2 shutter = onDisk(2.0, 26.0);
    const double brushed = 0.05 * valueNoise(p.x * 0.12, p.y * 2.0, 31u);
    const double metal = 0.88 - 0.08 * ((p.y - shutter.y) / 9.0) + brushed;
    value = mix(value, metal, insideMask(boxDistance(p, shutter, 13.0, 9.0, 0.5), 0.35));
    const Vec2 window{shutter.x, shutter.y + 1.0};
    value = mix(value, 0.04, insideMask(boxDistance(p, window, 3.2, 6.0), 0.3));

    // An arrow pointing the way in, and the write-protect holes in the corners.
    const double arrow =
        triangleDistance(p, onDisk(-22.5, 21.0), onDisk(-15.5, 21.0), onDisk(-19.0, 29.0));
    value = mix(value, 0.8, insideMask(arrow, 0.3));
    for (const double side : {-1.0, 1.0}) {
        const double hole = boxDistance(p, onDisk(side * 23.5, 30.5), 1.8, 2.0, 0.5);
        value = mix(value, 0.04, insideMask(hole, 0.3));
    }
    return value * insideMask(body, 0.35);
}

// The diskette where it is, above it the fading copies of where it was, which it hides.
double fallingDiskette(Vec2 p) {
    double trail = 0.0;
    for (int k = 0; k < 3; ++k) {
        const Vec2 earlier{p.x, p.y + TrailStep * (k + 1)};
        trail = std::max(trail, TrailFade[k] * diskette(earlier));
    }
    const double cover =
        insideMask(boxDistance(p, DiskCentre, DiskHalfWidth + 1.0, DiskHalfHeight, 1.5), 0.35);
    return diskette(p) + (1.0 - cover) * trail;
}

double drive(Vec2 p) {
    double value = 0.0;
    const double panel = boxDistance(p, PanelCentre, PanelHalfWidth, PanelHalfHeight, 1.5);
    if (panel < 1.0) {
        const double grain = 0.04 * valueNoise(p.x * 0.08, p.y * 1.5, 41u);
        value = 0.2 + grain - 0.05 * ((p.y - PanelCentre.y) / PanelHalfHeight);
        value = mix(p.y < PanelCentre.y ? 0.66 : 0.1, value, insideMask(panel + 1.0, 0.5));
        // The slot, a black mouth with a lit lip under it.
        const double slot = boxDistance(p, SlotCentre, 33.0, 1.0, 0.8);
        value = mix(value, 0.6, insideMask(slot - 1.5, 0.4) * (p.y > SlotCentre.y ? 1.0 : 0.0));
        value = mix(value, 0.0, insideMask(slot, 0.35));
        // The eject button.
        const Vec2 button{123.0, 129.0};
        const double buttonEdge = boxDistance(p, button, 8.0, 3.0, 1.0);
        value = mix(value, 0.05, insideMask(buttonEdge - 0.8, 0.3));
        value = mix(value, 0.5 - 0.1 * ((p.y - button.y) / 3.0), insideMask(buttonEdge, 0.3));
        value *= insideMask(panel, 0.35);
    }
    // The light and its glow, which spills over the panel.
    const double fromLight = length(p - LightCentre);
    const double glow = dmath::exp(-std::max(fromLight - LightRadius, 0.0) / 3.5);
    return std::max(value, glow);
}

} // namespace

std::vector<std::string> drawDisketteSlide() {
    const Picture picture = [](double x, double y) {
        const Vec2 p{x, y};
        return std::max(fallingDiskette(p), drive(p));
    };
    return toCharacterLines(sampleCells(SlideColumns, SlideRows, 4, picture), PictureRamp);
}

} // namespace veloria::slides
