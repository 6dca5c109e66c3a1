#include "terminal/canvas/Palette256.h"

#include "terminal/canvas/OrderedDither.h"

#include <array>
#include <cmath>

namespace veloria {
namespace {

constexpr std::array<unsigned, 6> CubeLevels{0, 95, 135, 175, 215, 255};
constexpr unsigned FirstCubeEntry = 16;
constexpr unsigned FirstGreyEntry = 232;
// Colours whose OKLab chroma is below this look grey, and are shown as greys.
constexpr float GreyChroma = 0.025f;

// Light as emitted, 0 ... 1, for each sRGB channel value: dots of two colours side by side
// look like the mean of their light.
const std::array<float, 256>& linearLight() {
    static const std::array<float, 256> table = [] {
        std::array<float, 256> light;
        for (int v = 0; v < 256; ++v) {
            float c = static_cast<float>(v) / 255.0f;
            light[v] = c <= 0.04045f ? c / 12.92f : std::pow((c + 0.055f) / 1.055f, 2.4f);
        }
        return light;
    }();
    return table;
}

struct Lab {
    float lightness, a, b;
};

Lab oklab(ColorValue colour) {
    const auto& light = linearLight();
    float r = light[redOf(colour)], g = light[greenOf(colour)], b = light[blueOf(colour)];
    float l = std::cbrt(0.4122214708f * r + 0.5363325363f * g + 0.0514459929f * b);
    float m = std::cbrt(0.2119034982f * r + 0.6806995451f * g + 0.1073969566f * b);
    float s = std::cbrt(0.0883024619f * r + 0.2817188376f * g + 0.6299787005f * b);
    return {0.2104542553f * l + 0.7936177850f * m - 0.0040720468f * s,
            1.9779984951f * l - 2.4285922050f * m + 0.4505937099f * s,
            0.0259040371f * l + 0.7827717662f * m - 0.8086757660f * s};
}

// The greys of the ramp and of the cube's diagonal, with their lightness.
struct Grey {
    unsigned index;
    float lightness;
};

const std::array<Grey, 30>& greys() {
    static const std::array<Grey, 30> table = [] {
        std::array<Grey, 30> all;
        std::size_t at = 0;
        for (unsigned level = 0; level < CubeLevels.size(); ++level) {
            unsigned index = FirstCubeEntry + level * (36 + 6 + 1);
            all[at++] = {index, oklab(paletteColour(index)).lightness};
        }
        for (unsigned index = FirstGreyEntry; index < 256; ++index)
            all[at++] = {index, oklab(paletteColour(index)).lightness};
        return all;
    }();
    return table;
}

unsigned nearestGrey(float lightness) {
    const Grey* best = nullptr;
    for (const Grey& grey : greys())
        if (!best || std::abs(grey.lightness - lightness) < std::abs(best->lightness - lightness))
            best = &grey;
    return best->index;
}

// The cube level of one channel at a dot: the upper of the two levels around the value for
// the share of the pattern's dots that the value's light lies between them.
unsigned ditheredLevel(unsigned value, float threshold) {
    const auto& light = linearLight();
    unsigned upper = 1;
    while (CubeLevels[upper] < value) ++upper;
    unsigned lower = upper - 1;
    if (value == CubeLevels[lower]) return lower;
    float share = (light[value] - light[CubeLevels[lower]]) /
                  (light[CubeLevels[upper]] - light[CubeLevels[lower]]);
    return share > threshold ? upper : lower;
}

} // namespace

ColorValue paletteColour(unsigned index) {
    if (index >= FirstGreyEntry) {
        unsigned grey = 8 + 10 * (index - FirstGreyEntry);
        return rgb(grey, grey, grey);
    }
    unsigned cube = index - FirstCubeEntry;
    return rgb(CubeLevels[cube / 36], CubeLevels[cube / 6 % 6], CubeLevels[cube % 6]);
}

unsigned paletteIndexAt(ColorValue colour, int x, int y) {
    Lab lab = oklab(colour);
    if (std::hypot(lab.a, lab.b) < GreyChroma) return nearestGrey(lab.lightness);
    float threshold = (static_cast<float>(Bayer[y & 7][x & 7]) + 0.5f) / 64.0f;
    return FirstCubeEntry + 36 * ditheredLevel(redOf(colour), threshold) +
           6 * ditheredLevel(greenOf(colour), threshold) + ditheredLevel(blueOf(colour), threshold);
}

} // namespace veloria
