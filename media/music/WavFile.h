// 16-bit PCM WAV files: the RIFF header, a LIST/INFO chunk naming the software that made the
// file (ISFT), and the interleaved samples, all little-endian whatever the host.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace veloria::music {

struct WavFormat {
    int channels;
    int sampleRate;
};

// The complete file image. The ISFT text is stored with its NUL, padded to an even size.
std::vector<uint8_t> encodeWav(std::span<const int16_t> interleaved, WavFormat format,
                               std::string_view software);

// Writes the bytes to `path`; false if the file cannot be written completely.
bool writeFile(const std::string& path, std::span<const uint8_t> bytes);

} // namespace veloria::music
