// The generated picture files: their sizes, their headers, and that the painter, run here on
// small parts of each picture, gives the same pixels as the build's files again and again.
#include "media/pictures/BmpWriter.h"
#include "media/pictures/Painter.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace veloria::pictures {
namespace {

struct Expected {
    std::string_view name;
    int width, height;
    size_t resourceBytes; // everything after the 14-byte file header
};

constexpr Expected ShowPictures[] = {
    {"QIR", 1000, 790, 2'370'124},  {"TOLV", 1000, 962, 2'886'124},   {"SUN", 640, 922, 1'770'364},
    {"GLASS", 545, 700, 1'145'324}, {"RASKEP", 645, 1000, 1'936'124},
};

std::vector<uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t u32(const std::vector<uint8_t>& file, size_t at) {
    return file[at] | file[at + 1] << 8 | file[at + 2] << 16 |
           static_cast<uint32_t>(file[at + 3]) << 24;
}

// The pixel at (x, y), counted from the top-left, of a bottom-up 24-bit file.
Rgb8 pixelOf(const std::vector<uint8_t>& file, int width, int height, int x, int y) {
    size_t at = BmpPixelOffset + (height - 1 - y) * bmpRowBytes(width) + 3 * static_cast<size_t>(x);
    return {file[at + 2], file[at + 1], file[at]};
}

TEST(Pictures, TableHoldsTheShowsPicturesInOrder) {
    ASSERT_EQ(pictures().size(), std::size(ShowPictures));
    for (size_t i = 0; i < std::size(ShowPictures); ++i) {
        const Picture* found = findPicture(ShowPictures[i].name);
        ASSERT_EQ(found, &pictures()[i]);
        EXPECT_EQ(found->width, ShowPictures[i].width);
        EXPECT_EQ(found->height, ShowPictures[i].height);
    }
    EXPECT_EQ(findPicture("qir"), nullptr);
    EXPECT_EQ(findPicture(""), nullptr);
}

TEST(Pictures, GeneratedFilesMatchWhatThePainterPaints) {
    for (const Expected& e : ShowPictures) {
        SCOPED_TRACE(std::string(e.name));
        const std::vector<uint8_t> file =
            readFile(std::string(VELORIA_MEDIA_DIR) + "/" + std::string(e.name) + ".bmp");
        ASSERT_EQ(file.size(), BmpFileHeaderSize + e.resourceBytes);
        EXPECT_EQ(u32(file, 18), static_cast<uint32_t>(e.width));
        EXPECT_EQ(u32(file, 22), static_cast<uint32_t>(e.height));

        // Tiles at the bottom-left corner, in the middle and at the top-right corner.
        const Picture& picture = *findPicture(e.name);
        for (PixelRect tile :
             {PixelRect{0, e.height - 8, 8, 8}, PixelRect{e.width / 2 - 4, e.height / 2 - 4, 8, 8},
              PixelRect{e.width - 8, 0, 8, 8}}) {
            const Image once = paint(picture, tile), twice = paint(picture, tile);
            ASSERT_EQ(once.pixels, twice.pixels);
            for (int y = 0; y < tile.height; ++y) {
                for (int x = 0; x < tile.width; ++x) {
                    ASSERT_EQ(once.at(x, y),
                              pixelOf(file, e.width, e.height, tile.x + x, tile.y + y))
                        << "at " << tile.x + x << ", " << tile.y + y;
                }
            }
        }
    }
}

TEST(Pictures, GlassRowsCarryOneZeroPaddingByte) {
    const std::vector<uint8_t> file = readFile(std::string(VELORIA_MEDIA_DIR) + "/GLASS.bmp");
    ASSERT_EQ(file.size(), BmpPixelOffset + 1636u * 700);
    for (size_t row = 0; row < 700; ++row)
        ASSERT_EQ(file[BmpPixelOffset + row * 1636 + 1635], 0) << row;
}

TEST(Pictures, EveryPictureIsFullOfColour) {
    for (const Expected& e : ShowPictures) {
        SCOPED_TRACE(std::string(e.name));
        const std::vector<uint8_t> file =
            readFile(std::string(VELORIA_MEDIA_DIR) + "/" + std::string(e.name) + ".bmp");
        ASSERT_EQ(file.size(), BmpFileHeaderSize + e.resourceBytes);
        std::vector<bool> seen(1 << 24);
        size_t distinct = 0;
        for (int y = 0; y < e.height; ++y) {
            for (int x = 0; x < e.width; ++x) {
                Rgb8 p = pixelOf(file, e.width, e.height, x, y);
                size_t key = static_cast<size_t>(p.r) << 16 | p.g << 8 | p.b;
                if (!seen[key]) ++distinct;
                seen[key] = true;
            }
        }
        EXPECT_GT(distinct, 20000u);
    }
}

} // namespace
} // namespace veloria::pictures
