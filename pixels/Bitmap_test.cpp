#include "pixels/Bitmap.h"

#include "tests/fakes/ByteFixtures.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace veloria {
namespace {

using testing::bytes;
using testing::le16;
using testing::le32;

struct DibSpec {
    std::int32_t width = 3, height = 2;
    std::uint32_t headerSize = 124;
    std::uint16_t bits = 24;
    std::uint32_t compression = 0;
};

// A packed DIB with the given header; pixels[y][x] from the top, stored bottom-up for a
// positive height, each row padded to four bytes.
std::string packedDib(const DibSpec& s, const std::vector<std::vector<ColorValue>>& pixels) {
    std::string dib = le32(s.headerSize) + le32(s.width) +
                      le32(static_cast<std::uint32_t>(s.height)) + le16(1) + le16(s.bits) +
                      le32(s.compression);
    dib.resize(s.headerSize, '\0');
    int rows = static_cast<int>(pixels.size());
    for (int i = 0; i < rows; ++i) {
        const auto& line = pixels[s.height > 0 ? rows - 1 - i : i];
        std::string row;
        for (ColorValue c : line) row += {char(blueOf(c)), char(greenOf(c)), char(redOf(c))};
        row.resize((row.size() + 3) / 4 * 4, '\0');
        dib += row;
    }
    return dib;
}

constexpr ColorValue Red = rgb(255, 0, 0), Blue = rgb(0, 0, 255), Green = rgb(0, 255, 0);
const std::vector<std::vector<ColorValue>> Corners = {{Red, rgb(1, 2, 3), Green},
                                                      {Blue, rgb(4, 5, 6), rgb(7, 8, 9)}};

TEST(BitmapDecoding, ReadsPixelsByColumnAndLineFromTheTopWhateverTheRowOrder) {
    for (std::int32_t height : {2, -2}) { // bottom-up, top-down
        for (std::uint32_t header : {40u, 108u, 124u}) {
            std::string dib = packedDib({.height = height, .headerSize = header}, Corners);
            Bitmap b;
            b.loadPackedDib(bytes(dib), "FIXTURE");
            EXPECT_EQ(b.width(), 3);
            EXPECT_EQ(b.height(), 2);
            for (int y = 0; y < 2; ++y)
                for (int x = 0; x < 3; ++x)
                    EXPECT_EQ(b.Pixels(x, y), Corners[y][x]) << x << "," << y << " h=" << height;
        }
    }
}

TEST(BitmapDecoding, PositionsOutsideThePictureAreInvalid) {
    std::string dib = packedDib({}, Corners);
    Bitmap b;
    b.loadPackedDib(bytes(dib), "FIXTURE");
    for (auto [x, y] : {std::pair{-1, 0}, {0, -1}, {3, 0}, {0, 2}, {100000, 100000}})
        EXPECT_EQ(b.Pixels(x, y), CLR_INVALID);
}

TEST(BitmapDecoding, RejectsWhatItCannotReadAndNamesTheResource) {
    std::string good = packedDib({}, Corners);
    struct Case {
        const char* why;
        std::string dib;
        const char* message;
    };
    std::vector<Case> cases = {
        {"empty", "", "shorter than a bitmap header"},
        {"core header", le32(12) + std::string(60, '\0'), "header of 12"},
        {"header past the end", le32(124) + std::string(36, '\0'), "header of 124"},
        {"8 bits", packedDib({.bits = 8}, Corners), "8 bits per pixel"},
        {"32 bits", packedDib({.bits = 32}, Corners), "32 bits per pixel"},
        {"RLE", packedDib({.compression = 1}, Corners), "compressed"},
        {"bit fields", packedDib({.compression = 3}, Corners), "compressed"},
        {"zero width", packedDib({.width = 0}, {}), "no pixels"},
        {"negative width", packedDib({.width = -3}, {}), "no pixels"},
        {"truncated rows", good.substr(0, good.size() - 1), "rows truncated"},
        {"huge height", packedDib({.height = 0x7FFFFFFF}, Corners), "rows truncated"},
    };
    for (const auto& c : cases) {
        Bitmap b;
        try {
            b.loadPackedDib(bytes(c.dib), "QIR");
            ADD_FAILURE() << c.why << ": accepted";
        } catch (const PictureError& e) {
            std::string message = e.what();
            EXPECT_EQ(message.rfind("Resource QIR is not a readable bitmap: ", 0), 0u) << message;
            EXPECT_NE(message.find(c.message), std::string::npos) << c.why << ": " << message;
        }
    }
}

TEST(BitmapDecoding, PaddedRowsAreReadAtTheirStride) {
    // Five pixels a row: 15 bytes, padded to 16, so every row after the first starts one
    // byte later than an unpadded reading would put it.
    std::vector<std::vector<ColorValue>> lines;
    for (int y = 0; y < 4; ++y) {
        lines.emplace_back();
        for (int x = 0; x < 5; ++x) lines.back().push_back(rgb(x * 40, y * 60, x + y));
    }
    std::string dib = packedDib({.width = 5, .height = 4}, lines);
    ASSERT_EQ(dib.size(), 124u + 4 * 16);
    Bitmap b;
    b.loadPackedDib(bytes(dib), "FIXTURE");
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x) EXPECT_EQ(b.Pixels(x, y), lines[y][x]);
}

TEST(BitmapLookup, AMissingNameRaisesTheResourceNotFoundError) {
    Bitmap b;
    try {
        b.LoadFromResourceName(programModule(), "NOSUCH");
        ADD_FAILURE() << "accepted";
    } catch (const PictureError& e) {
        EXPECT_STREQ(e.what(), "Resource NOSUCH not found");
    }
}

} // namespace
} // namespace veloria
