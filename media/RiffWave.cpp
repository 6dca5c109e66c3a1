#include "media/RiffWave.h"

#include "media/LittleEndian.h"

#include <cstring>

namespace veloria {
namespace {

bool isTag(std::span<const std::byte> bytes, std::size_t at, const char (&tag)[5]) {
    return std::memcmp(bytes.data() + at, tag, 4) == 0;
}

} // namespace

std::optional<WaveSound> parseWave(std::span<const std::byte> file) {
    if (file.size() < 12 || !isTag(file, 0, "RIFF") || !isTag(file, 8, "WAVE")) return {};
    std::uint64_t riffEnd = 8 + static_cast<std::uint64_t>(readLittle32(file, 4));
    if (riffEnd > file.size()) return {};
    WaveSound sound;
    bool haveFormat = false;
    std::uint64_t at = 12;
    while (at + 8 <= riffEnd) {
        std::uint64_t size = readLittle32(file, at + 4);
        std::uint64_t body = at + 8;
        if (body + size > riffEnd) return {};
        if (isTag(file, at, "fmt ")) {
            if (size < 16 || readLittle16(file, body) != 1) return {}; // PCM only
            sound.channels = readLittle16(file, body + 2);
            sound.sampleRate = readLittle32(file, body + 4);
            sound.bitsPerSample = readLittle16(file, body + 14);
            haveFormat = sound.channels > 0 && sound.sampleRate > 0 && sound.bitsPerSample > 0;
        } else if (isTag(file, at, "data")) {
            if (!haveFormat) return {};
            sound.samples = file.subspan(body, size);
            return sound;
        }
        at = body + size + (size & 1); // chunks are padded to an even length
    }
    return {};
}

} // namespace veloria
