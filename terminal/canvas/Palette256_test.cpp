#include "terminal/canvas/Palette256.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace veloria {
namespace {

double light(unsigned channel) {
    double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

// What an 8 x 8 patch of dots shows: the entries used, and the mean light of each channel.
struct Patch {
    std::set<unsigned> entries;
    double red = 0, green = 0, blue = 0;
};

Patch patchOf(ColorValue colour) {
    Patch patch;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            unsigned index = paletteIndexAt(colour, x, y);
            patch.entries.insert(index);
            ColorValue shown = paletteColour(index);
            patch.red += light(redOf(shown)) / 64;
            patch.green += light(greenOf(shown)) / 64;
            patch.blue += light(blueOf(shown)) / 64;
        }
    return patch;
}

TEST(PaletteIndexAt, EveryEntryShowsAsItself) {
    for (unsigned index = 16; index < 256; ++index)
        EXPECT_EQ(patchOf(paletteColour(index)).entries, std::set<unsigned>{index}) << index;
}

TEST(PaletteIndexAt, ColoursKeepTheirHueAndLightOverAPatch) {
    // A night sky, deep water, a dark forest, dried blood, a sunset, a pale sky: nearest in
    // RGB (or in any colour space), the dark ones are greys of the ramp.
    const ColorValue colours[] = {rgb(20, 30, 70),   rgb(12, 18, 48), rgb(30, 45, 90),
                                  rgb(10, 40, 60),   rgb(15, 45, 20), rgb(60, 15, 15),
                                  rgb(230, 120, 40), rgb(150, 190, 230)};
    for (ColorValue colour : colours) {
        Patch patch = patchOf(colour);
        // 1/64 of the gap between two levels is the pattern's step.
        EXPECT_NEAR(patch.red, light(redOf(colour)), 0.01) << std::hex << colour;
        EXPECT_NEAR(patch.green, light(greenOf(colour)), 0.01) << std::hex << colour;
        EXPECT_NEAR(patch.blue, light(blueOf(colour)), 0.01) << std::hex << colour;
        for (unsigned index : patch.entries) EXPECT_LT(index, 232u) << std::hex << colour;
    }
}

TEST(PaletteIndexAt, NearGreysTakeTheNearestGreyWhole) {
    const struct {
        ColorValue colour;
        unsigned index;
    } cases[] = {
        {rgb(0, 0, 0), 16},        {rgb(255, 255, 255), 231}, {rgb(128, 128, 128), 244},
        {rgb(9, 9, 9), 232},       {rgb(238, 238, 238), 255}, {rgb(96, 94, 95), 59},
        {rgb(50, 50, 54), 236},
    };
    for (const auto& c : cases)
        EXPECT_EQ(patchOf(c.colour).entries, std::set<unsigned>{c.index}) << std::hex << c.colour;
}

} // namespace
} // namespace veloria
