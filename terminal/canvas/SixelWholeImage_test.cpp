#include "terminal/canvas/SixelWholeImage.h"

#include <gtest/gtest.h>

#include <random>

namespace veloria {
namespace {

std::string afresh(const std::vector<std::uint8_t>& indices, int width, int height) {
    SixelWholeImage image;
    image.reset(indices, width, height);
    std::string out;
    image.append(out);
    return out;
}

// Changes pixels the way the gallery does, a few at a time in random places, and some that
// empty a colour's column or a colour's whole band, or bring a colour into a band: after each
// frame the image kept up to date must be byte for byte the image made afresh.
TEST(SixelWholeImage, KeptUpToDateItIsTheImageMadeAfresh) {
    const int width = 97, height = 4 * SixelBandHeight;
    std::mt19937 random(7);
    std::vector<std::uint8_t> indices(static_cast<std::size_t>(width) * height);
    // Stripes of a few colours, so that runs and gaps both occur.
    for (std::size_t i = 0; i < indices.size(); ++i)
        indices[i] = static_cast<std::uint8_t>(i % width / 9 % 4 * 17);
    SixelWholeImage image;
    image.reset(indices, width, height);
    std::string first;
    image.append(first);
    EXPECT_EQ(first, afresh(indices, width, height));

    auto set = [&](std::size_t at, std::uint8_t colour) {
        if (indices[at] == colour) return;
        image.change(at, indices[at], colour);
        indices[at] = colour;
    };
    for (int frame = 0; frame < 40; ++frame) {
        int changes = 1 + static_cast<int>(random() % 60);
        for (int i = 0; i < changes; ++i) {
            std::size_t at = random() % indices.size();
            // Mostly colours already there, sometimes one the palette's far end.
            auto colour = static_cast<std::uint8_t>(random() % 5 == 0 ? SixelPaletteSize - 1
                                                                      : random() % 4 * 17);
            set(at, colour);
        }
        if (frame == 20) {
            // A whole band in one colour: every other colour leaves it.
            for (int x = 0; x < width; ++x)
                for (int r = 0; r < SixelBandHeight; ++r)
                    set(static_cast<std::size_t>(SixelBandHeight + r) * width + x, 5);
        }
        // The first and the last column, the last row.
        set(static_cast<std::size_t>(frame % height) * width, static_cast<std::uint8_t>(frame));
        set(indices.size() - 1 - static_cast<std::size_t>(frame % width),
            static_cast<std::uint8_t>(frame * 3));
        std::string kept;
        image.append(kept);
        ASSERT_EQ(kept, afresh(indices, width, height)) << "frame " << frame;
    }
}

// Made afresh over another image of another size, it is that image alone.
TEST(SixelWholeImage, ResetForgetsTheImageBefore) {
    std::vector<std::uint8_t> large(20 * 12, 9), small(8 * 6, 3);
    SixelWholeImage image;
    image.reset(large, 20, 12);
    image.change(5, 9, 200);
    image.reset(small, 8, 6);
    std::string out;
    image.append(out);
    EXPECT_EQ(out, afresh(small, 8, 6));
    EXPECT_EQ(out.find("#200"), std::string::npos);
    EXPECT_EQ(out.find("#9"), std::string::npos);
}

} // namespace
} // namespace veloria
