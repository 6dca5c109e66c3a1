// Writes pictures and sound into a video file through FFmpeg's libraries: .mp4 and .mkv hold
// H.264 and AAC, .webm holds VP9 and Opus. The file is written under a temporary name beside
// it and takes its own name only when finish() succeeds, so a recording that fails or is
// abandoned leaves no partial file and keeps any file that was there before. Every failure
// throws RecordError, naming the file and the reason.
#pragma once

#include "terminal/ColorValue.h"
#include "terminal/PixelSurface.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace veloria {

// The pictures: width × height pixels, a whole number of frames each second.
struct VideoShape {
    int width = 0;
    int height = 0;
    int framesPerSecond = 0;
};

// The sound handed in: 16-bit signed samples, interleaved, at this rate.
struct SoundShape {
    std::uint32_t sampleRate = 0;
    std::uint16_t channels = 0;
};

class VideoFile {
public:
    // Refuses a file name without a known extension before anything is made on disk; a
    // directory that cannot be written to is found here too.
    VideoFile(const std::string& path, VideoShape picture, SoundShape sound);
    // Removes the temporary file of a recording that was not finished.
    ~VideoFile();
    VideoFile(const VideoFile&) = delete;
    VideoFile& operator=(const VideoFile&) = delete;

    // The next frame: width × height pixels, rows top to bottom, no gap between rows, which
    // differ from the frame before only inside `changed` (the first frame: everywhere).
    void addFrame(const ColorValue* pixels, Rect changed);
    // The next frame shows the same picture as the one before (black before any picture),
    // without converting it again.
    void addRepeatedFrame();
    // The sound that goes on from the end of the sound before: `frames` frames of one sample
    // per channel. Fed in step with the pictures, so that the file interleaves them closely.
    void addSound(const std::int16_t* interleaved, std::size_t frames);
    // Encodes what the encoders still hold, completes the file and gives it its name.
    void finish();

    // Where the file is written until finish(), for removing it if the process is ended.
    const std::string& temporaryPath() const;

private:
    struct Writer;
    std::unique_ptr<Writer> writer_;
};

} // namespace veloria
