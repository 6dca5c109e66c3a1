// Checks the soundtrack the build rendered: its exact header, and the finished master's
// promises about its samples. The file's path comes from the build (VELORIA_TRACK_PATH).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

constexpr size_t HeaderBytes = 78;
constexpr size_t Frames = 11'650'048;

class VeloriaTrack : public testing::Test {
protected:
    static void SetUpTestSuite() {
        std::ifstream in(VELORIA_TRACK_PATH, std::ios::binary);
        bytes_ = std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
    }
    static int16_t sample(size_t frame, int channel) {
        size_t at = HeaderBytes + 4 * frame + 2 * static_cast<size_t>(channel);
        return static_cast<int16_t>(bytes_[at] | bytes_[at + 1] << 8);
    }
    // RMS in dBFS of both channels over [from, to) frames.
    static double rmsDb(size_t from, size_t to) {
        double sum = 0.0;
        for (size_t f = from; f < to; ++f)
            for (int c = 0; c < 2; ++c) sum += std::pow(sample(f, c) / 32768.0, 2);
        return 10.0 * std::log10(sum / (2.0 * static_cast<double>(to - from)) + 1e-30);
    }
    static inline std::vector<uint8_t> bytes_;
};

TEST_F(VeloriaTrack, HasExactlyTheAgreedHeaderAndSize) {
    ASSERT_EQ(bytes_.size(), 46'600'270u);
    const uint8_t header[HeaderBytes] = {
        'R',  'I',  'F', 'F', 0x46, 0x10, 0xC7, 0x02, 'W',  'A', 'V', 'E', //
        'f',  'm',  't', ' ', 16,   0,    0,    0,    1,    0,   2,   0,   //
        0x44, 0xAC, 0,   0,   0x10, 0xB1, 0x02, 0,    4,    0,   16,  0,   //
        'L',  'I',  'S', 'T', 26,   0,    0,    0,    'I',  'N', 'F', 'O', //
        'I',  'S',  'F', 'T', 14,   0,    0,    0,                         //
        'v',  'e',  'l', 'o', 'r',  'i',  'a',  ' ',  's',  'y', 'n', 't',
        'h',  0,    'd', 'a', 't',  'a',  0x00, 0x10, 0xC7, 0x02};
    for (size_t i = 0; i < HeaderBytes; ++i) EXPECT_EQ(bytes_[i], header[i]) << "byte " << i;
}

TEST_F(VeloriaTrack, HasNoClippedSamplesAndNoDcOffset) {
    ASSERT_EQ(bytes_.size(), HeaderBytes + 4 * Frames);
    double sum[2] = {0.0, 0.0};
    size_t clipped = 0;
    for (size_t f = 0; f < Frames; ++f)
        for (int c = 0; c < 2; ++c) {
            int16_t s = sample(f, c);
            clipped += s >= 32767 || s <= -32767;
            sum[c] += s;
        }
    EXPECT_EQ(clipped, 0u);
    for (double s : sum) EXPECT_LT(std::fabs(s / Frames), 1.0); // in 16-bit steps
}

TEST_F(VeloriaTrack, FadesInAndOutAndDropsTheBeatAt26AndAHalfSeconds) {
    ASSERT_EQ(bytes_.size(), HeaderBytes + 4 * Frames);
    const size_t bar = 73'040, drop = 16 * bar;     // 26.5 s
    EXPECT_LT(rmsDb(0, 4410), -50.0);               // the first 0.1 s
    EXPECT_LT(rmsDb(Frames - 4410, Frames), -60.0); // the last 0.1 s
    EXPECT_GT(rmsDb(drop, drop + 4 * bar), rmsDb(drop - 4 * bar, drop) + 1.5);
}

} // namespace
