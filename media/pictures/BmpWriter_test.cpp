// The BMP encoder's output, checked byte by byte on small fixtures.
#include "media/pictures/BmpWriter.h"

#include <gtest/gtest.h>

namespace veloria::pictures {
namespace {

uint32_t u32(const std::vector<uint8_t>& file, size_t at) {
    return file[at] | file[at + 1] << 8 | file[at + 2] << 16 |
           static_cast<uint32_t>(file[at + 3]) << 24;
}
uint32_t u16(const std::vector<uint8_t>& file, size_t at) {
    return file[at] | file[at + 1] << 8;
}

// Three by two, every pixel different and every channel of a pixel different.
Image cornersFixture() {
    Image image(3, 2);
    image.at(0, 0) = {10, 20, 30}; // top left
    image.at(1, 0) = {11, 21, 31};
    image.at(2, 0) = {40, 50, 60}; // top right
    image.at(0, 1) = {70, 80, 90}; // bottom left
    image.at(1, 1) = {71, 81, 91};
    image.at(2, 1) = {100, 110, 120}; // bottom right
    return image;
}

TEST(BmpWriter, HeadersDescribeA24BitBottomUpSrgbImage) {
    const std::vector<uint8_t> file = encodeBmp(cornersFixture());
    ASSERT_EQ(file.size(), 138u + 2 * 12);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(u32(file, 2), file.size());
    EXPECT_EQ(u32(file, 6), 0u); // both reserved words
    EXPECT_EQ(u32(file, 10), 138u);

    const size_t v5 = 14;
    EXPECT_EQ(u32(file, v5 + 0), 124u);
    EXPECT_EQ(u32(file, v5 + 4), 3u);
    EXPECT_EQ(u32(file, v5 + 8), 2u); // positive height: bottom-up rows
    EXPECT_EQ(u16(file, v5 + 12), 1u);
    EXPECT_EQ(u16(file, v5 + 14), 24u);
    EXPECT_EQ(u32(file, v5 + 16), 0u); // BI_RGB
    EXPECT_EQ(u32(file, v5 + 20), 24u);
    EXPECT_EQ(u32(file, v5 + 24), 2835u);
    EXPECT_EQ(u32(file, v5 + 28), 2835u);
    EXPECT_EQ(u32(file, v5 + 32), 0u);
    EXPECT_EQ(u32(file, v5 + 36), 0u);
    EXPECT_EQ(u32(file, v5 + 40), 0x00ff0000u);
    EXPECT_EQ(u32(file, v5 + 44), 0x0000ff00u);
    EXPECT_EQ(u32(file, v5 + 48), 0x000000ffu);
    EXPECT_EQ(u32(file, v5 + 52), 0xff000000u);
    EXPECT_EQ(u32(file, v5 + 56), 0x73524742u); // LCS_sRGB, stored as "BGRs"
    EXPECT_EQ(std::string(file.begin() + v5 + 56, file.begin() + v5 + 60), "BGRs");
    for (size_t at = v5 + 60; at < v5 + 108; ++at)
        EXPECT_EQ(file[at], 0) << "endpoints and gamma, byte " << at;
    EXPECT_EQ(u32(file, v5 + 108), 4u); // LCS_GM_IMAGES
    EXPECT_EQ(u32(file, v5 + 112), 0u);
    EXPECT_EQ(u32(file, v5 + 116), 0u);
    EXPECT_EQ(u32(file, v5 + 120), 0u);
}

TEST(BmpWriter, StoresTheBottomRowFirstInBlueGreenRedOrder) {
    const std::vector<uint8_t> file = encodeBmp(cornersFixture());
    const std::vector<uint8_t> bottomRow{90, 80, 70, 91, 81, 71, 120, 110, 100, 0, 0, 0};
    const std::vector<uint8_t> topRow{30, 20, 10, 31, 21, 11, 60, 50, 40, 0, 0, 0};
    EXPECT_EQ(std::vector<uint8_t>(file.begin() + 138, file.begin() + 150), bottomRow);
    EXPECT_EQ(std::vector<uint8_t>(file.begin() + 150, file.end()), topRow);
}

TEST(BmpWriter, PadsEachRowWithZerosToAMultipleOfFour) {
    struct Case {
        int width;
        size_t rowBytes;
    };
    for (Case c : {Case{1, 4}, Case{2, 8}, Case{3, 12}, Case{4, 12}, Case{5, 16}, Case{545, 1636},
                   Case{640, 1920}, Case{645, 1936}, Case{1000, 3000}}) {
        SCOPED_TRACE(c.width);
        EXPECT_EQ(bmpRowBytes(c.width), c.rowBytes);
        Image image(c.width, 3);
        for (Rgb8& p : image.pixels) p = {255, 255, 255};
        const std::vector<uint8_t> file = encodeBmp(image);
        ASSERT_EQ(file.size(), 138 + 3 * c.rowBytes);
        for (size_t row = 0; row < 3; ++row) {
            const size_t start = 138 + row * c.rowBytes;
            EXPECT_EQ(file[start + 3 * c.width - 1], 255);
            for (size_t at = start + 3 * c.width; at < start + c.rowBytes; ++at)
                EXPECT_EQ(file[at], 0);
        }
    }
}

} // namespace
} // namespace veloria::pictures
