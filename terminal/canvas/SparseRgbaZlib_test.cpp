#include "terminal/canvas/SparseRgbaZlib.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <vector>

namespace veloria {
namespace {

// The image zlib reads from the stream; empty where it is not a valid stream.
std::vector<std::uint8_t> inflated(const std::vector<std::uint8_t>& stream, std::size_t size) {
    std::vector<std::uint8_t> image(size + 16);
    uLongf length = static_cast<uLongf>(image.size());
    if (uncompress(image.data(), &length, stream.data(), static_cast<uLong>(stream.size())) != Z_OK)
        return {};
    image.resize(length);
    return image;
}

std::vector<std::uint8_t> denseImage(std::size_t pixelCount,
                                     const std::vector<OpaquePixel>& pixels) {
    std::vector<std::uint8_t> image(pixelCount * 4, 0);
    for (const OpaquePixel& p : pixels) {
        image[p.at * 4] = p.red;
        image[p.at * 4 + 1] = p.green;
        image[p.at * 4 + 2] = p.blue;
        image[p.at * 4 + 3] = 255;
    }
    return image;
}

TEST(SparseRgbaZlib, InflatesToTheImageWithItsPixelsOpaqueAndTheRestTransparent) {
    struct Case {
        const char* name;
        std::size_t pixelCount;
        std::vector<OpaquePixel> pixels;
    };
    // Gaps of every kind: none, shorter than a back-reference, one longest back-reference
    // and a byte, several; colours on both sides of the literal codes' 143/144 split.
    const Case cases[] = {
        {"nothing opaque", 1000, {}},
        {"one pixel", 1, {{0, 1, 2, 3}}},
        {"first and last", 500, {{0, 255, 144, 143}, {499, 0, 0, 0}}},
        {"side by side", 10, {{3, 9, 8, 7}, {4, 200, 100, 50}, {5, 0, 1, 0}}},
        {"gaps of one to three bytes' pixels",
         40,
         {{1, 1, 1, 1}, {3, 2, 2, 2}, {6, 3, 3, 3}, {10, 4, 4, 4}}},
        {"a gap of 258 bytes and one", 200, {{0, 5, 5, 5}, {65, 6, 6, 6}, {130, 7, 7, 7}}},
        {"a long empty tail", 100000, {{7, 250, 251, 252}}},
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> stream;
        appendSparseRgbaZlib(stream, c.pixelCount, c.pixels);
        EXPECT_EQ(inflated(stream, c.pixelCount * 4), denseImage(c.pixelCount, c.pixels)) << c.name;
    }
}

TEST(SparseRgbaZlib, AFrameOfTheRevealIsSmallAndExact) {
    // The show's window, 4300 pixels changed, as in a thirtieth of a second of the reveal.
    const std::size_t count = 1150 * 1020;
    std::vector<OpaquePixel> pixels;
    std::uint32_t seed = 5;
    for (std::size_t at = 0; at < count; ++at) {
        seed = seed * 1664525u + 1013904223u;
        if (seed % 1000 < 4)
            pixels.push_back({static_cast<std::uint32_t>(at), static_cast<std::uint8_t>(seed >> 8),
                              static_cast<std::uint8_t>(seed >> 16),
                              static_cast<std::uint8_t>(seed >> 24)});
    }
    std::vector<std::uint8_t> stream{9, 9}; // appended after what is there
    appendSparseRgbaZlib(stream, count, pixels);
    EXPECT_EQ(stream[0], 9);
    stream.erase(stream.begin(), stream.begin() + 2);
    EXPECT_EQ(inflated(stream, count * 4), denseImage(count, pixels));
    EXPECT_LT(stream.size(), pixels.size() * 10) << pixels.size() << " pixels";
}

} // namespace
} // namespace veloria
