#include "media/music/WavFile.h"

#include <gtest/gtest.h>

#include <cstring>

namespace veloria::music {
namespace {

uint32_t le32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
uint16_t le16(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<uint16_t>(b[at] | b[at + 1] << 8);
}
std::string text(const std::vector<uint8_t>& b, size_t at, size_t n) {
    return std::string(reinterpret_cast<const char*>(b.data() + at), n);
}

TEST(WavFile, LaysOutTheHeaderTheInfoListAndTheSamples) {
    const std::vector<int16_t> pcm = {1, -1, 0x1234, -32766, 32766, 0};
    const std::vector<uint8_t> b = encodeWav(pcm, {2, 44100}, "veloria synth");
    ASSERT_EQ(b.size(), 78u + 12u);
    EXPECT_EQ(text(b, 0, 4), "RIFF");
    EXPECT_EQ(le32(b, 4), b.size() - 8);
    EXPECT_EQ(text(b, 8, 8), "WAVEfmt ");
    EXPECT_EQ(le32(b, 16), 16u);
    EXPECT_EQ(le16(b, 20), 1u);     // PCM
    EXPECT_EQ(le16(b, 22), 2u);     // channels
    EXPECT_EQ(le32(b, 24), 44100u); // frames per second
    EXPECT_EQ(le32(b, 28), 176400u);
    EXPECT_EQ(le16(b, 32), 4u);
    EXPECT_EQ(le16(b, 34), 16u);
    EXPECT_EQ(text(b, 36, 4), "LIST");
    EXPECT_EQ(le32(b, 40), 26u);
    EXPECT_EQ(text(b, 44, 8), "INFOISFT");
    EXPECT_EQ(le32(b, 52), 14u);
    EXPECT_EQ(text(b, 56, 14), std::string("veloria synth", 14)); // with its NUL
    EXPECT_EQ(text(b, 70, 4), "data");
    EXPECT_EQ(le32(b, 74), 12u);
    EXPECT_EQ(le16(b, 78), 1u);
    EXPECT_EQ(le16(b, 80), 0xFFFFu);
    EXPECT_EQ(le16(b, 82), 0x1234u);
    EXPECT_EQ(static_cast<int16_t>(le16(b, 84)), -32766);
}

TEST(WavFile, PadsAnOddLengthSoftwareNameToKeepChunksEven) {
    const std::vector<uint8_t> b = encodeWav({}, {2, 44100}, "odd");
    EXPECT_EQ(le32(b, 40), 4u + 8u + 4u); // "odd" + NUL is already even
    const std::vector<uint8_t> c = encodeWav({}, {2, 44100}, "even");
    EXPECT_EQ(le32(c, 52), 5u);           // the text's own size...
    EXPECT_EQ(le32(c, 40), 4u + 8u + 6u); // ...padded to six in the list
    EXPECT_EQ(text(c, 62, 4), "data");
    EXPECT_EQ(le32(c, 4), c.size() - 8);
}

} // namespace
} // namespace veloria::music
