// Reads a RIFF WAVE file held in memory: its PCM format and where its samples lie. Any file
// that is not a well-formed PCM WAVE (short, truncated, chunks running past the end) is
// rejected, never read past its end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace veloria {

struct WaveSound {
    std::uint16_t channels = 0;
    std::uint32_t sampleRate = 0;
    std::uint16_t bitsPerSample = 0;
    std::span<const std::byte> samples; // interleaved frames, little-endian
};

std::optional<WaveSound> parseWave(std::span<const std::byte> file);

} // namespace veloria
