#include "record/VideoFile.h"

#include "record/RecordError.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <numbers>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <vector>

namespace veloria {
namespace {

namespace fs = std::filesystem;

constexpr VideoShape Picture{64, 48, 60};
constexpr SoundShape Sound{44100, 2};
constexpr int Pixels = 64 * 48;
constexpr Rect Whole{0, 0, 64, 48};
// The test clip: 50 frames, five sixths of a second, which neither sound encoder's frames fit
// exactly, so that its last sound frame is a short one. It starts with frames repeated before
// any picture, which are black; the picture is red from frame 5 on and turns blue, as the sound
// turns from silence to a tone, at frame 30, half a second in.
constexpr int ClipFrames = 50;
constexpr int RedFrame = 5;
constexpr int ChangeFrame = 30;
constexpr double ClipSeconds = ClipFrames / 60.0;
constexpr int SoundPerFrame = 44100 / 60;

// A directory of its own for each test, removed afterwards.
class VideoFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string name = (fs::temp_directory_path() / "video-file-test-XXXXXX").string();
        ASSERT_NE(mkdtemp(name.data()), nullptr);
        dir = name;
    }
    void TearDown() override { fs::remove_all(dir); }

    std::vector<std::string> namesInDir() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path dir;
};

std::string contentOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::string messageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const RecordError& e) {
        return e.what();
    }
    return "(no RecordError)";
}

// The test clip, each picture handed in once and then repeated; the tone is a loud 1 kHz one.
void recordClip(const std::string& path) {
    VideoFile video(path, Picture, Sound);
    const std::vector<ColorValue> red(Pixels, rgb(255, 0, 0)), blue(Pixels, rgb(0, 0, 255));
    std::vector<std::int16_t> sound(2 * SoundPerFrame);
    for (int k = 0; k < ClipFrames; ++k) {
        if (k == RedFrame)
            video.addFrame(red.data(), Whole);
        else if (k == ChangeFrame)
            video.addFrame(blue.data(), Whole);
        else
            video.addRepeatedFrame();
        for (int i = 0; i < SoundPerFrame; ++i) {
            const double t = double(k * SoundPerFrame + i) / Sound.sampleRate;
            const double tone =
                k < ChangeFrame ? 0 : 20000 * std::sin(2 * std::numbers::pi * 1000 * t);
            sound[2 * i] = sound[2 * i + 1] = static_cast<std::int16_t>(tone);
        }
        video.addSound(sound.data(), SoundPerFrame);
    }
    video.finish();
}

template <class T, void (*Free)(T**)> struct FreeWith {
    void operator()(T* p) const { Free(&p); }
};
struct CloseInput {
    void operator()(AVFormatContext* f) const { avformat_close_input(&f); }
};
struct FreeScaler {
    void operator()(SwsContext* s) const { sws_freeContext(s); }
};
using Input = std::unique_ptr<AVFormatContext, CloseInput>;
using Decoder = std::unique_ptr<AVCodecContext, FreeWith<AVCodecContext, avcodec_free_context>>;
using Frame = std::unique_ptr<AVFrame, FreeWith<AVFrame, av_frame_free>>;
using Packet = std::unique_ptr<AVPacket, FreeWith<AVPacket, av_packet_free>>;
using Resampler = std::unique_ptr<SwrContext, FreeWith<SwrContext, swr_free>>;

struct RgbPixel {
    int r, g, b;
};

// What a player finds in a video file, read back through libavformat and libavcodec.
struct ReadBack {
    std::string demuxer;
    AVCodecID videoCodec = AV_CODEC_ID_NONE, soundCodec = AV_CODEC_ID_NONE;
    int width = 0, height = 0;
    AVRational frameRate{}, averageFrameRate{};
    AVColorSpace colorspace = AVCOL_SPC_UNSPECIFIED;
    int videoPackets = 0;
    // In seconds, as the packets' timestamps say: a container may start both streams a little
    // later to make room for the sound encoder's priming, so times are taken from videoStart.
    double videoStart = 1e9, videoEnd = 0;
    std::vector<std::vector<RgbPixel>> pictures;
    int sampleRate = 0;
    double soundStart = 0;      // the time of the first decoded sample
    std::vector<float> samples; // the first channel, decoded
};

Decoder openDecoder(const AVStream* stream) {
    const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
    if (!codec) return nullptr;
    Decoder decoder(avcodec_alloc_context3(codec));
    avcodec_parameters_to_context(decoder.get(), stream->codecpar);
    decoder->pkt_timebase = stream->time_base;
    if (avcodec_open2(decoder.get(), codec, nullptr) < 0) return nullptr;
    return decoder;
}

std::vector<RgbPixel> rgbOf(const AVFrame* frame) {
    std::unique_ptr<SwsContext, FreeScaler> scaler(
        sws_getContext(frame->width, frame->height, AVPixelFormat(frame->format), frame->width,
                       frame->height, AV_PIX_FMT_RGB24, SWS_POINT, nullptr, nullptr, nullptr));
    const int space = frame->colorspace == AVCOL_SPC_BT709 ? SWS_CS_ITU709 : SWS_CS_DEFAULT;
    sws_setColorspaceDetails(scaler.get(), sws_getCoefficients(space),
                             frame->color_range == AVCOL_RANGE_JPEG,
                             sws_getCoefficients(SWS_CS_DEFAULT), 1, 0, 1 << 16, 1 << 16);
    std::vector<std::uint8_t> bytes(std::size_t(frame->width) * frame->height * 3);
    std::uint8_t* rows[] = {bytes.data()};
    const int stride[] = {frame->width * 3};
    sws_scale(scaler.get(), frame->data, frame->linesize, 0, frame->height, rows, stride);
    std::vector<RgbPixel> pixels;
    for (std::size_t i = 0; i < bytes.size(); i += 3)
        pixels.push_back({bytes[i], bytes[i + 1], bytes[i + 2]});
    return pixels;
}

void appendFirstChannel(ReadBack& read, SwrContext* resampler, const AVFrame* frame) {
    std::vector<float> interleaved(std::size_t(frame->nb_samples) * frame->ch_layout.nb_channels);
    std::uint8_t* out[] = {reinterpret_cast<std::uint8_t*>(interleaved.data())};
    const int n =
        swr_convert(resampler, out, frame->nb_samples,
                    const_cast<const std::uint8_t**>(frame->extended_data), frame->nb_samples);
    for (int i = 0; i < n; ++i)
        read.samples.push_back(interleaved[std::size_t(i) * frame->ch_layout.nb_channels]);
}

ReadBack readBack(const std::string& path) {
    ReadBack read;
    AVFormatContext* opened = nullptr;
    if (avformat_open_input(&opened, path.c_str(), nullptr, nullptr) < 0) {
        ADD_FAILURE() << "cannot open " << path;
        return read;
    }
    Input input(opened);
    avformat_find_stream_info(input.get(), nullptr);
    read.demuxer = input->iformat->name;
    const int v = av_find_best_stream(input.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    const int s = av_find_best_stream(input.get(), AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (v < 0 || s < 0 || input->nb_streams != 2) {
        ADD_FAILURE() << path << " does not hold one video and one sound stream";
        return read;
    }
    const AVStream* video = input->streams[v];
    const AVStream* sound = input->streams[s];
    read.videoCodec = video->codecpar->codec_id;
    read.soundCodec = sound->codecpar->codec_id;
    read.width = video->codecpar->width;
    read.height = video->codecpar->height;
    read.frameRate = video->r_frame_rate;
    read.averageFrameRate = video->avg_frame_rate;
    read.colorspace = video->codecpar->color_space;
    read.sampleRate = sound->codecpar->sample_rate;

    Decoder videoDecoder = openDecoder(video), soundDecoder = openDecoder(sound);
    if (!videoDecoder || !soundDecoder) {
        ADD_FAILURE() << "cannot decode " << path;
        return read;
    }
    SwrContext* made = nullptr;
    swr_alloc_set_opts2(&made, &soundDecoder->ch_layout, AV_SAMPLE_FMT_FLT,
                        soundDecoder->sample_rate, &soundDecoder->ch_layout,
                        soundDecoder->sample_fmt, soundDecoder->sample_rate, 0, nullptr);
    Resampler resampler(made);
    swr_init(resampler.get());

    Packet packet(av_packet_alloc());
    Frame frame(av_frame_alloc());
    bool soundStarted = false;
    auto drain = [&](AVCodecContext* decoder, const AVStream* stream) {
        while (avcodec_receive_frame(decoder, frame.get()) == 0) {
            if (stream == video) {
                read.pictures.push_back(rgbOf(frame.get()));
            } else {
                if (!soundStarted)
                    read.soundStart = frame->best_effort_timestamp * av_q2d(stream->time_base);
                soundStarted = true;
                appendFirstChannel(read, resampler.get(), frame.get());
            }
        }
    };
    while (av_read_frame(input.get(), packet.get()) == 0) {
        const bool isVideo = packet->stream_index == v;
        const AVStream* stream = isVideo ? video : sound;
        AVCodecContext* decoder = isVideo ? videoDecoder.get() : soundDecoder.get();
        if (isVideo) {
            const double start = double(packet->pts) * av_q2d(stream->time_base);
            const double end = double(packet->pts + packet->duration) * av_q2d(stream->time_base);
            ++read.videoPackets;
            read.videoStart = std::min(read.videoStart, start);
            read.videoEnd = std::max(read.videoEnd, end);
        }
        avcodec_send_packet(decoder, packet.get());
        av_packet_unref(packet.get());
        drain(decoder, stream);
    }
    avcodec_send_packet(videoDecoder.get(), nullptr);
    drain(videoDecoder.get(), video);
    avcodec_send_packet(soundDecoder.get(), nullptr);
    drain(soundDecoder.get(), sound);
    return read;
}

struct ContainerCase {
    const char* name;
    const char* demuxer;
    const char* docType; // how the file names its own kind within its first bytes
    AVCodecID video;
    AVCodecID sound;
    int sampleRate;
};

void PrintTo(const ContainerCase& c, std::ostream* out) {
    *out << c.name;
}

class VideoFileContainer : public VideoFileTest,
                           public ::testing::WithParamInterface<ContainerCase> {};

// The upper-case name shows that the extension is read without regard to case.
INSTANTIATE_TEST_SUITE_P(Extensions, VideoFileContainer,
                         ::testing::Values(ContainerCase{"clip.mp4", "mov,mp4,m4a,3gp,3g2,mj2",
                                                         "ftypisom", AV_CODEC_ID_H264,
                                                         AV_CODEC_ID_AAC, 44100},
                                           ContainerCase{"CLIP.MKV", "matroska,webm", "matroska",
                                                         AV_CODEC_ID_H264, AV_CODEC_ID_AAC, 44100},
                                           ContainerCase{"clip.webm", "matroska,webm", "webm",
                                                         AV_CODEC_ID_VP9, AV_CODEC_ID_OPUS, 48000}),
                         [](const auto& info) { return std::string(info.param.name).substr(5); });

TEST_P(VideoFileContainer, HoldsTheCodecsShapeFrameRateAndLengthOfItsKind) {
    const ContainerCase& c = GetParam();
    const fs::path file = dir / c.name;
    recordClip(file.string());
    EXPECT_EQ(namesInDir(), std::vector<std::string>{c.name});
    EXPECT_NE(contentOf(file).substr(0, 64).find(c.docType), std::string::npos);

    const ReadBack read = readBack(file.string());
    EXPECT_EQ(read.demuxer, c.demuxer);
    EXPECT_EQ(read.videoCodec, c.video);
    EXPECT_EQ(read.soundCodec, c.sound);
    EXPECT_EQ(read.width, 64);
    EXPECT_EQ(read.height, 48);
    EXPECT_EQ(av_cmp_q(read.frameRate, {60, 1}), 0)
        << read.frameRate.num << "/" << read.frameRate.den;
    EXPECT_EQ(av_cmp_q(read.averageFrameRate, {60, 1}), 0)
        << read.averageFrameRate.num << "/" << read.averageFrameRate.den;
    EXPECT_EQ(read.videoPackets, ClipFrames);
    EXPECT_EQ(read.pictures.size(), std::size_t(ClipFrames));
    EXPECT_EQ(read.sampleRate, c.sampleRate);
    EXPECT_NEAR(read.videoEnd - read.videoStart, ClipSeconds, 0.002);
    // The decoded sound lasts as long as the pictures, or up to one sound encoder's frame
    // longer, where the container does not say how much of the last frame is padding.
    const double soundEnd =
        read.soundStart + double(read.samples.size()) / read.sampleRate - read.videoStart;
    EXPECT_GE(soundEnd, ClipSeconds - 0.5 / read.sampleRate);
    EXPECT_LE(soundEnd, ClipSeconds + 1024.0 / read.sampleRate);
}

TEST_P(VideoFileContainer, PicturesKeepTheirColoursThroughTheRepeatedFrames) {
    const fs::path file = dir / GetParam().name;
    recordClip(file.string());
    const ReadBack read = readBack(file.string());
    EXPECT_EQ(read.colorspace, AVCOL_SPC_BT709);
    ASSERT_EQ(read.pictures.size(), std::size_t(ClipFrames));
    for (std::size_t k = 0; k < read.pictures.size(); ++k) {
        const RgbPixel want = k < RedFrame      ? RgbPixel{0, 0, 0}
                              : k < ChangeFrame ? RgbPixel{255, 0, 0}
                                                : RgbPixel{0, 0, 255};
        int worst = 0;
        for (const RgbPixel& p : read.pictures[k])
            worst = std::max(
                {worst, std::abs(p.r - want.r), std::abs(p.g - want.g), std::abs(p.b - want.b)});
        EXPECT_LE(worst, 8) << "frame " << k;
    }
}

// The tone is heard from the moment of the frame it starts with to the video's end, neither
// shifted nor cut short.
TEST_P(VideoFileContainer, TheSoundIsHeardAtItsTimeToTheEnd) {
    const fs::path file = dir / GetParam().name;
    recordClip(file.string());
    const ReadBack read = readBack(file.string());
    auto loud = [](float s) { return std::abs(s) > 0.25f; };
    const auto first = std::find_if(read.samples.begin(), read.samples.end(), loud);
    const auto last = std::find_if(read.samples.rbegin(), read.samples.rend(), loud);
    ASSERT_NE(first, read.samples.end());
    auto secondsAt = [&](std::ptrdiff_t sample) {
        return read.soundStart + double(sample) / read.sampleRate - read.videoStart;
    };
    EXPECT_NEAR(secondsAt(first - read.samples.begin()), ChangeFrame / 60.0, 0.002);
    EXPECT_NEAR(secondsAt(read.samples.rend() - last), ClipSeconds, 0.002);
}

TEST_F(VideoFileTest, TheMp4IndexComesBeforeTheMedia) {
    const fs::path file = dir / "clip.mp4";
    recordClip(file.string());
    const std::string bytes = contentOf(file);
    EXPECT_LT(bytes.find("moov"), bytes.find("mdat"));
}

struct RefusedCase {
    const char* name; // within the test's directory
    const char* reason;
};

void PrintTo(const RefusedCase& c, std::ostream* out) {
    *out << c.name;
}

class VideoFileRefused : public VideoFileTest, public ::testing::WithParamInterface<RefusedCase> {};

INSTANTIATE_TEST_SUITE_P(
    Names, VideoFileRefused,
    ::testing::Values(RefusedCase{"clip.avi", "ends in .mp4, .mkv or .webm"},
                      RefusedCase{"clip", "ends in .mp4, .mkv or .webm"},
                      RefusedCase{"clip.mp4.part", "ends in .mp4, .mkv or .webm"},
                      RefusedCase{"missing/clip.mp4", "No such file or directory"},
                      RefusedCase{"folder.mkv", "it is a directory"}));

TEST_P(VideoFileRefused, WithAPlainReasonAndNothingMadeOnDisk) {
    fs::create_directory(dir / "folder.mkv");
    const std::string path = (dir / GetParam().name).string();
    const std::string message = messageOf([&] { VideoFile video(path, Picture, Sound); });
    EXPECT_NE(message.find(path + ": "), std::string::npos) << message;
    EXPECT_NE(message.find(GetParam().reason), std::string::npos) << message;
    EXPECT_EQ(namesInDir(), std::vector<std::string>{"folder.mkv"});
}

class VideoFileOverExisting : public VideoFileTest, public ::testing::WithParamInterface<bool> {};

INSTANTIATE_TEST_SUITE_P(FinishedOrAbandoned, VideoFileOverExisting, ::testing::Bool());

TEST_P(VideoFileOverExisting, TheFileIsReplacedOnlyWhenTheRecordingIsFinished) {
    const bool finished = GetParam();
    const fs::path file = dir / "clip.webm";
    std::ofstream(file) << "an earlier recording";
    {
        VideoFile video(file.string(), Picture, Sound);
        EXPECT_EQ(fs::path(video.temporaryPath()).parent_path(), dir);
        EXPECT_TRUE(fs::exists(video.temporaryPath()));
        const std::vector<ColorValue> grey(Pixels, rgb(128, 128, 128));
        const std::vector<std::int16_t> silence(2 * SoundPerFrame);
        for (int k = 0; k < 10; ++k) {
            video.addFrame(grey.data(), Whole);
            video.addSound(silence.data(), SoundPerFrame);
        }
        if (finished) video.finish();
    }
    EXPECT_EQ(namesInDir(), std::vector<std::string>{"clip.webm"});
    if (finished) {
        EXPECT_EQ(readBack(file.string()).pictures.size(), 10u);
        // Readable as any new file is, not private as a temporary file is made.
        const mode_t mask = umask(0);
        umask(mask);
        EXPECT_EQ(fs::status(file).permissions(), fs::perms(0666 & ~mask));
    } else {
        EXPECT_EQ(contentOf(file), "an earlier recording");
    }
}

// A filesystem of its own in the test's directory, mounted in a mount namespace of this
// process's own; the tests skip themselves where this process may not mount.
class VideoFileOnItsOwnFilesystem : public VideoFileTest {
protected:
    bool mountHere(unsigned long flags, const char* options) {
        if (unshare(CLONE_NEWNS) != 0 ||
            mount("none", "/", "none", MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount("tmpfs", dir.c_str(), "tmpfs", flags, options) != 0)
            return false;
        mounted = true;
        return true;
    }
    void TearDown() override {
        if (mounted) umount(dir.c_str());
        VideoFileTest::TearDown();
    }
    bool mounted = false;
};

TEST_F(VideoFileOnItsOwnFilesystem, ADirectoryThatCannotBeWrittenIsFoundAtTheStart) {
    if (!mountHere(MS_RDONLY, nullptr)) GTEST_SKIP() << "cannot mount: " << std::strerror(errno);
    const std::string path = (dir / "clip.mp4").string();
    EXPECT_EQ(messageOf([&] { VideoFile video(path, Picture, Sound); }),
              "cannot create " + path + ": Read-only file system");
}

TEST_F(VideoFileOnItsOwnFilesystem, AFullDiskIsSaidSoAndNothingIsLeft) {
    if (!mountHere(0, "size=256k")) GTEST_SKIP() << "cannot mount: " << std::strerror(errno);
    const std::string path = (dir / "clip.mp4").string();
    const std::string message = messageOf([&] {
        VideoFile video(path, Picture, Sound);
        // Noise does not compress: ten seconds of it are far more than the disk holds.
        std::vector<ColorValue> noise(Pixels);
        std::uint32_t random = 1;
        const std::vector<std::int16_t> silence(2 * SoundPerFrame);
        for (int k = 0; k < 600; ++k) {
            for (ColorValue& pixel : noise) pixel = (random = random * 1664525 + 1013904223) >> 8;
            video.addFrame(noise.data(), Whole);
            video.addSound(silence.data(), SoundPerFrame);
        }
        video.finish();
    });
    EXPECT_EQ(message, "cannot write " + path + ": No space left on device");
    EXPECT_TRUE(namesInDir().empty());
}

} // namespace
} // namespace veloria
