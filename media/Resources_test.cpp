#include "media/LittleEndian.h"
#include "media/Resources.h"
#include "media/RiffWave.h"

#include <gtest/gtest.h>

namespace veloria {
namespace {

std::string tag(std::span<const std::byte> b, std::size_t at) {
    return std::string(reinterpret_cast<const char*>(b.data() + at), 4);
}

struct PictureCase {
    const char* name;
    std::uint32_t width, height, rowBytes, resourceBytes;
};

class EmbeddedPicture : public ::testing::TestWithParam<PictureCase> {};

TEST_P(EmbeddedPicture, IsAPackedV5DibOfItsExactSize) {
    const auto& c = GetParam();
    auto bytes = findResource(programModule(), ResourceType::Bitmap, c.name);
    ASSERT_TRUE(bytes) << c.name;
    ASSERT_EQ(bytes->size(), c.resourceBytes);
    EXPECT_EQ(readLittle32(*bytes, 0), 124u); // BITMAPV5HEADER, no file header in front
    EXPECT_EQ(readLittle32(*bytes, 4), c.width);
    EXPECT_EQ(readLittle32(*bytes, 8), c.height); // positive: bottom-up rows
    EXPECT_EQ(readLittle16(*bytes, 12), 1u);      // planes
    EXPECT_EQ(readLittle16(*bytes, 14), 24u);     // bits per pixel
    EXPECT_EQ(readLittle32(*bytes, 16), 0u);      // BI_RGB
    EXPECT_EQ(readLittle32(*bytes, 20), c.rowBytes * c.height);
    EXPECT_EQ(readLittle32(*bytes, 40), 0x00FF0000u); // red mask
    EXPECT_EQ(readLittle32(*bytes, 44), 0x0000FF00u);
    EXPECT_EQ(readLittle32(*bytes, 48), 0x000000FFu);
    EXPECT_EQ(readLittle32(*bytes, 52), 0xFF000000u); // alpha mask
    EXPECT_EQ(readLittle32(*bytes, 56), 0x73524742u); // 'sRGB'
    EXPECT_EQ(readLittle32(*bytes, 108), 4u);         // intent
}

INSTANTIATE_TEST_SUITE_P(AllFive, EmbeddedPicture,
                         ::testing::Values(PictureCase{"QIR", 1000, 790, 3000, 2370124},
                                           PictureCase{"TOLV", 1000, 962, 3000, 2886124},
                                           PictureCase{"SUN", 640, 922, 1920, 1770364},
                                           PictureCase{"GLASS", 545, 700, 1636, 1145324},
                                           PictureCase{"RASKEP", 645, 1000, 1936, 1936124}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(EmbeddedTrack, IsTheWholeWaveFileWithItsExactLayout) {
    auto bytes = findResource(programModule(), ResourceType::Sound, "VELORIA");
    ASSERT_TRUE(bytes);
    ASSERT_EQ(bytes->size(), 46600270u);
    EXPECT_EQ(tag(*bytes, 0), "RIFF");
    EXPECT_EQ(readLittle32(*bytes, 4), 46600262u);
    EXPECT_EQ(tag(*bytes, 8), "WAVE");
    EXPECT_EQ(tag(*bytes, 12), "fmt ");
    EXPECT_EQ(readLittle32(*bytes, 16), 16u);
    EXPECT_EQ(readLittle32(*bytes, 28), 176400u);
    EXPECT_EQ(readLittle16(*bytes, 32), 4u);
    EXPECT_EQ(tag(*bytes, 36), "LIST");
    EXPECT_EQ(readLittle32(*bytes, 40), 26u);
    EXPECT_EQ(tag(*bytes, 44), "INFO");
    EXPECT_EQ(tag(*bytes, 48), "ISFT");
    EXPECT_EQ(tag(*bytes, 70), "data");
    EXPECT_EQ(readLittle32(*bytes, 74), 46600192u);

    auto sound = parseWave(*bytes);
    ASSERT_TRUE(sound);
    EXPECT_EQ(sound->channels, 2);
    EXPECT_EQ(sound->sampleRate, 44100u);
    EXPECT_EQ(sound->bitsPerSample, 16);
    EXPECT_EQ(sound->samples.data(), bytes->data() + 78); // in place, not a copy
    EXPECT_EQ(sound->samples.size() / 4, 11650048u);
}

TEST(ResourceLookup, FindsByTypeAndExactNameOnly) {
    struct Miss {
        ResourceType type;
        const char* name;
    };
    for (auto miss : {Miss{ResourceType::Bitmap, "MISSING"}, Miss{ResourceType::Bitmap, "VELORIA"},
                      Miss{ResourceType::Sound, "QIR"}, Miss{ResourceType::Bitmap, "QI"},
                      Miss{ResourceType::Bitmap, "QIRX"}, Miss{ResourceType::Bitmap, ""}})
        EXPECT_FALSE(findResource(programModule(), miss.type, miss.name)) << miss.name;
}

TEST(ResourceLookup, ReturnsTheSameBytesEveryTime) {
    auto first = findResource(programModule(), ResourceType::Bitmap, "SUN");
    auto second = findResource(programModule(), ResourceType::Bitmap, "SUN");
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->data(), second->data());
}

} // namespace
} // namespace veloria
