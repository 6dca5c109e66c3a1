#include "media/RiffWave.h"

#include "tests/fakes/ByteFixtures.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace veloria {
namespace {

using testing::bytes;
using testing::le16;
using testing::le32;

std::string chunk(const std::string& id, const std::string& body) {
    return id + le32(static_cast<std::uint32_t>(body.size())) + body +
           (body.size() % 2 ? std::string(1, '\0') : "");
}
std::string pcmFormat(std::uint16_t tag = 1) {
    return chunk("fmt ", le16(tag) + le16(2) + le32(44100) + le32(176400) + le16(4) + le16(16));
}
std::string riff(const std::string& chunks) {
    return "RIFF" + le32(static_cast<std::uint32_t>(4 + chunks.size())) + "WAVE" + chunks;
}

TEST(ParseWave, FindsTheFormatAndSamplesPastOtherChunks) {
    // An odd-sized chunk before the samples is padded to an even length.
    std::string file = riff(pcmFormat() + chunk("LIST", "INFOodd") + chunk("data", "abcdefgh"));
    auto sound = parseWave(bytes(file));
    ASSERT_TRUE(sound);
    EXPECT_EQ(sound->channels, 2);
    EXPECT_EQ(sound->sampleRate, 44100u);
    EXPECT_EQ(sound->bitsPerSample, 16);
    EXPECT_EQ(
        std::string(reinterpret_cast<const char*>(sound->samples.data()), sound->samples.size()),
        "abcdefgh");
}

TEST(ParseWave, RejectsWhatIsNotAWholePcmWave) {
    std::string good = riff(pcmFormat() + chunk("data", "abcd"));
    struct Case {
        const char* why;
        std::string file;
    };
    std::vector<Case> cases = {
        {"empty", ""},
        {"not RIFF", "RIFX" + good.substr(4)},
        {"not WAVE", good.substr(0, 8) + "AVI " + good.substr(12)},
        {"RIFF size past the end", good.substr(0, good.size() - 1)},
        {"no data chunk", riff(pcmFormat())},
        {"data before format", riff(chunk("data", "abcd") + pcmFormat())},
        {"compressed", riff(pcmFormat(2) + chunk("data", "abcd"))},
        {"short format", riff(chunk("fmt ", le16(1) + le16(2)) + chunk("data", "abcd"))},
        {"chunk past the end", riff(pcmFormat() + "data" + le32(1000) + "abcd")},
        {"chunk size near 4 GiB", riff(pcmFormat() + "data" + le32(0xFFFFFFFF) + "abcd")},
    };
    for (const auto& c : cases) EXPECT_FALSE(parseWave(bytes(c.file))) << c.why;
}

} // namespace
} // namespace veloria
