// Encodes with libavcodec and writes the container with libavformat. Pictures are converted
// into the encoder's YUV where they changed; sound goes through libswresample into the encoder's
// sample format and rate, then through a queue that hands the encoder frames of the size it takes.
#include "record/VideoFile.h"

#include "record/RecordError.h"
#include "record/Yuv420.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace veloria {
namespace {

struct Container {
    const char* extension;
    const char* muxer;
    const char* videoEncoder;
    const char* soundEncoder;
    int soundRate; // 0: the rate of the sound handed in
    std::int64_t soundBitRate;
};

constexpr Container Containers[] = {
    {".mp4", "mp4", "libx264", "aac", 0, 192000},
    {".mkv", "matroska", "libx264", "aac", 0, 192000},
    {".webm", "webm", "libvpx-vp9", "libopus", 48000, 160000},
};

const Container& containerFor(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    for (const Container& c : Containers)
        if (extension == c.extension) return c;
    throw RecordError("cannot record " + path + ": the name of a video file ends in .mp4, .mkv " +
                      "or .webm");
}

std::string reason(int error) {
    char text[AV_ERROR_MAX_STRING_SIZE];
    av_strerror(error, text, sizeof text);
    return text;
}

template <class T, void (*Free)(T**)> struct FreeWith {
    void operator()(T* p) const { Free(&p); }
};
using CodecPointer =
    std::unique_ptr<AVCodecContext, FreeWith<AVCodecContext, avcodec_free_context>>;
using FramePointer = std::unique_ptr<AVFrame, FreeWith<AVFrame, av_frame_free>>;
using PacketPointer = std::unique_ptr<AVPacket, FreeWith<AVPacket, av_packet_free>>;
using ResamplerPointer = std::unique_ptr<SwrContext, FreeWith<SwrContext, swr_free>>;

struct FreeQueue {
    void operator()(AVAudioFifo* q) const { av_audio_fifo_free(q); }
};
// Frees the muxer, then closes its output if it is still open.
struct FreeMuxer {
    void operator()(AVFormatContext* m) const {
        AVIOContext* output = m->pb;
        avformat_free_context(m);
        avio_closep(&output);
    }
};

// The file that the recording goes into until it is done: made beside the video file, so that
// renaming it puts the video in place at once; removed unless it has been renamed.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::string& path) : path_(path + ".part-XXXXXX") {
        const int fd = mkstemp(path_.data());
        if (fd < 0) throw RecordError("cannot create " + path + ": " + std::strerror(errno));
        // mkstemp makes the file private; the video gets the permissions of any new file.
        const mode_t mask = umask(0);
        umask(mask);
        const int changed = fchmod(fd, 0666 & ~mask);
        const int error = errno;
        close(fd);
        if (changed != 0) {
            unlink(path_.c_str());
            throw RecordError("cannot create " + path + ": " + std::strerror(error));
        }
    }
    ~TemporaryFile() {
        if (!renamed_) unlink(path_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    const std::string& path() const { return path_; }
    void renameTo(const std::string& path) {
        if (std::rename(path_.c_str(), path.c_str()) != 0)
            throw RecordError("cannot write " + path + ": " + std::strerror(errno));
        renamed_ = true;
    }

private:
    std::string path_;
    bool renamed_ = false;
};

} // namespace

struct VideoFile::Writer {
    Writer(const std::string& path, const Container& container, VideoShape picture,
           SoundShape sound);

    void fail(const std::string& doing, int error) const {
        throw RecordError("cannot " + doing + " " + path + ": " + reason(error));
    }
    void check(int result, const std::string& doing) const {
        if (result < 0) fail(doing, result);
    }
    template <class T> T* made(T* object) const {
        if (!object) fail("record", AVERROR(ENOMEM));
        return object;
    }

    CodecPointer newEncoder(const char* name) const;
    void setOption(AVCodecContext* encoder, const char* name, const char* value) const {
        check(av_opt_set(encoder->priv_data, name, value, 0),
              std::string("set ") + name + " of " + encoder->codec->name + " for");
    }
    void openEncoder(AVCodecContext* encoder) const {
        check(avcodec_open2(encoder, encoder->codec, nullptr),
              std::string("start ") + encoder->codec->name + " for");
    }
    AVStream* addStream(const AVCodecContext* encoder);
    FramePointer soundFrame(int samples) const;
    void encode(AVCodecContext* encoder, AVStream* stream, const AVFrame* frame);
    void queueSound(const std::uint8_t** input, int frames);
    void encodeQueuedSound(int samples);
    void addPicture();

    const std::string path;
    const VideoShape shape;
    TemporaryFile file;
    std::unique_ptr<AVFormatContext, FreeMuxer> muxer;
    CodecPointer videoEncoder;
    CodecPointer soundEncoder;
    AVStream* videoStream = nullptr;
    AVStream* soundStream = nullptr;
    PacketPointer packet;

    FramePointer picture;
    std::int64_t picturesAdded = 0;

    ResamplerPointer resampler;
    FramePointer resampled; // the resampler's output, grown to the largest piece of sound
    std::unique_ptr<AVAudioFifo, FreeQueue> queue;
    FramePointer sound;
    std::int64_t soundEncoded = 0;
    std::int64_t soundStart = 0; // the first sound frame's timestamp
};

VideoFile::Writer::Writer(const std::string& path, const Container& container, VideoShape shape,
                          SoundShape input)
    : path(path), shape(shape), file(path) {
    AVFormatContext* m = nullptr;
    check(avformat_alloc_output_context2(&m, nullptr, container.muxer, file.path().c_str()),
          "record");
    muxer.reset(m);
    const bool globalHeader = muxer->oformat->flags & AVFMT_GLOBALHEADER;

    videoEncoder = newEncoder(container.videoEncoder);
    AVCodecContext* v = videoEncoder.get();
    v->width = shape.width;
    v->height = shape.height;
    v->pix_fmt = AV_PIX_FMT_YUV420P;
    v->time_base = {1, shape.framesPerSecond};
    v->framerate = {shape.framesPerSecond, 1};
    v->gop_size = 5 * shape.framesPerSecond; // a keyframe at least every five seconds, for seeking
    v->thread_count = 0;                     // as many as the machine has cores
    v->color_range = AVCOL_RANGE_MPEG;
    v->colorspace = AVCOL_SPC_BT709;
    v->color_primaries = AVCOL_PRI_BT709;
    v->color_trc = AVCOL_TRC_BT709;
    if (globalHeader) v->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    // Settings for speed on two cores: the show is mostly still text, with a picture and
    // noise drawn dot by dot over four minutes, which costs the encoder most.
    if (v->codec_id == AV_CODEC_ID_H264) {
        setOption(v, "preset", "superfast");
        setOption(v, "crf", "21");
    } else {
        setOption(v, "deadline", "realtime");
        setOption(v, "cpu-used", "8");
        setOption(v, "row-mt", "1");
        setOption(v, "crf", "30");
    }
    openEncoder(v);
    videoStream = addStream(v);
    videoStream->avg_frame_rate = v->framerate;

    soundEncoder = newEncoder(container.soundEncoder);
    AVCodecContext* s = soundEncoder.get();
    s->sample_fmt = s->codec->sample_fmts[0];
    s->sample_rate = container.soundRate ? container.soundRate : int(input.sampleRate);
    av_channel_layout_default(&s->ch_layout, input.channels);
    s->time_base = {1, s->sample_rate};
    s->bit_rate = container.soundBitRate;
    if (globalHeader) s->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    openEncoder(s);
    soundStream = addStream(s);

    packet.reset(made(av_packet_alloc()));

    picture.reset(made(av_frame_alloc()));
    picture->format = AV_PIX_FMT_YUV420P;
    picture->width = shape.width;
    picture->height = shape.height;
    check(av_frame_get_buffer(picture.get(), 0), "record");
    // Black, for frames repeated before the first picture.
    const int chromaRows = (shape.height + 1) / 2;
    std::memset(picture->data[0], 16, std::size_t(picture->linesize[0]) * shape.height);
    std::memset(picture->data[1], 128, std::size_t(picture->linesize[1]) * chromaRows);
    std::memset(picture->data[2], 128, std::size_t(picture->linesize[2]) * chromaRows);

    AVChannelLayout inputLayout;
    av_channel_layout_default(&inputLayout, input.channels);
    SwrContext* r = nullptr;
    check(swr_alloc_set_opts2(&r, &soundEncoder->ch_layout, soundEncoder->sample_fmt,
                              soundEncoder->sample_rate, &inputLayout, AV_SAMPLE_FMT_S16,
                              int(input.sampleRate), 0, nullptr),
          "convert the sound of");
    resampler.reset(r);
    check(swr_init(resampler.get()), "convert the sound of");
    resampled = soundFrame(soundEncoder->frame_size);
    queue.reset(
        made(av_audio_fifo_alloc(soundEncoder->sample_fmt, soundEncoder->ch_layout.nb_channels,
                                 2 * soundEncoder->frame_size)));
    sound = soundFrame(soundEncoder->frame_size);
    // FFmpeg 5's libavformat writes Opus's CodecDelay into WebM but leaves the blocks where
    // the encoder's timestamps put them, before zero, then moves every stream later: the sound
    // would play 6.5 ms early. Timestamps that start after the encoder's priming put the sound
    // where FFmpeg 6 puts it.
    if (soundEncoder->codec_id == AV_CODEC_ID_OPUS && avformat_version() < AV_VERSION_INT(60, 0, 0))
        soundStart = soundEncoder->initial_padding;

    check(avio_open(&muxer->pb, file.path().c_str(), AVIO_FLAG_WRITE), "create");
    // The index goes in front, so that the video plays while it is still downloading.
    if (std::strcmp(container.muxer, "mp4") == 0)
        check(av_opt_set(muxer->priv_data, "movflags", "+faststart", 0), "record");
    check(avformat_write_header(muxer.get(), nullptr), "write");
}

CodecPointer VideoFile::Writer::newEncoder(const char* name) const {
    const AVCodec* codec = avcodec_find_encoder_by_name(name);
    if (!codec)
        throw RecordError("cannot record " + path + ": this FFmpeg has no " + name + " encoder");
    return CodecPointer(made(avcodec_alloc_context3(codec)));
}

AVStream* VideoFile::Writer::addStream(const AVCodecContext* encoder) {
    AVStream* stream = made(avformat_new_stream(muxer.get(), nullptr));
    check(avcodec_parameters_from_context(stream->codecpar, encoder), "record");
    stream->time_base = encoder->time_base;
    return stream;
}

FramePointer VideoFile::Writer::soundFrame(int samples) const {
    FramePointer frame(made(av_frame_alloc()));
    frame->format = soundEncoder->sample_fmt;
    frame->sample_rate = soundEncoder->sample_rate;
    frame->nb_samples = samples;
    check(av_channel_layout_copy(&frame->ch_layout, &soundEncoder->ch_layout), "record");
    check(av_frame_get_buffer(frame.get(), 0), "record");
    return frame;
}

// Hands the encoder a frame (none: the end) and writes every packet it gives back.
void VideoFile::Writer::encode(AVCodecContext* encoder, AVStream* stream, const AVFrame* frame) {
    check(avcodec_send_frame(encoder, frame), "encode");
    for (;;) {
        const int received = avcodec_receive_packet(encoder, packet.get());
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) return;
        check(received, "encode");
        av_packet_rescale_ts(packet.get(), encoder->time_base, stream->time_base);
        packet->stream_index = stream->index;
        check(av_interleaved_write_frame(muxer.get(), packet.get()), "write");
    }
}

// Converts sound frames (none: the last ones the resampler holds) into the queue.
void VideoFile::Writer::queueSound(const std::uint8_t** input, int frames) {
    const int room = swr_get_out_samples(resampler.get(), frames);
    check(room, "convert the sound of");
    if (room > resampled->nb_samples) resampled = soundFrame(room);
    const int converted = swr_convert(resampler.get(), resampled->data, room, input, frames);
    check(converted, "convert the sound of");
    check(av_audio_fifo_write(queue.get(), reinterpret_cast<void**>(resampled->data), converted),
          "record");
}

void VideoFile::Writer::encodeQueuedSound(int samples) {
    check(av_frame_make_writable(sound.get()), "record");
    sound->nb_samples = samples;
    check(av_audio_fifo_read(queue.get(), reinterpret_cast<void**>(sound->data), samples),
          "record");
    sound->pts = soundStart + soundEncoded;
    soundEncoded += samples;
    encode(soundEncoder.get(), soundStream, sound.get());
}

void VideoFile::Writer::addPicture() {
    picture->pts = picturesAdded++;
    encode(videoEncoder.get(), videoStream, picture.get());
}

VideoFile::VideoFile(const std::string& path, VideoShape picture, SoundShape sound) {
    const Container& container = containerFor(path);
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        throw RecordError("cannot write " + path + ": it is a directory");
    // FFmpeg says only what failed; the recorder's progress line stays whole otherwise.
    av_log_set_level(AV_LOG_ERROR);
    writer_ = std::make_unique<Writer>(path, container, picture, sound);
}

VideoFile::~VideoFile() = default;

void VideoFile::addFrame(const ColorValue* pixels, Rect changed) {
    Writer& w = *writer_;
    // A copy, if the encoder still holds the picture, keeps what did not change.
    w.check(av_frame_make_writable(w.picture.get()), "record");
    AVFrame& p = *w.picture;
    convertToYuv420(pixels, w.shape.width, w.shape.height, changed,
                    {p.data[0], p.linesize[0], p.data[1], p.data[2], p.linesize[1]});
    w.addPicture();
}

void VideoFile::addRepeatedFrame() {
    writer_->addPicture();
}

void VideoFile::addSound(const std::int16_t* interleaved, std::size_t frames) {
    Writer& w = *writer_;
    const auto* input = reinterpret_cast<const std::uint8_t*>(interleaved);
    w.queueSound(&input, int(frames));
    const int frameSize = w.soundEncoder->frame_size;
    while (av_audio_fifo_size(w.queue.get()) >= frameSize) w.encodeQueuedSound(frameSize);
}

void VideoFile::finish() {
    Writer& w = *writer_;
    // The resampler's last samples, then whatever is left as a shorter last frame.
    w.queueSound(nullptr, 0);
    const int frameSize = w.soundEncoder->frame_size;
    while (int left = av_audio_fifo_size(w.queue.get()))
        w.encodeQueuedSound(std::min(left, frameSize));
    w.encode(w.soundEncoder.get(), w.soundStream, nullptr);
    w.encode(w.videoEncoder.get(), w.videoStream, nullptr);
    w.check(av_write_trailer(w.muxer.get()), "write");
    w.check(avio_closep(&w.muxer->pb), "write");
    w.file.renameTo(w.path);
}

const std::string& VideoFile::temporaryPath() const {
    return writer_->file.path();
}

} // namespace veloria
