#include "media/music/WavFile.h"

#include <fstream>

namespace veloria::music {

namespace {

// Writes little-endian fields into a buffer sized in advance.
class ByteWriter {
public:
    explicit ByteWriter(std::vector<uint8_t>& out) : out_(out) {}
    void tag(std::string_view text) {
        for (char c : text) out_[pos_++] = static_cast<uint8_t>(c);
    }
    void u16(uint32_t v) {
        out_[pos_++] = static_cast<uint8_t>(v);
        out_[pos_++] = static_cast<uint8_t>(v >> 8);
    }
    void u32(uint32_t v) {
        u16(v & 0xFFFFu);
        u16(v >> 16);
    }
    void skip(size_t zeros) { pos_ += zeros; }

private:
    std::vector<uint8_t>& out_;
    size_t pos_ = 0;
};

} // namespace

std::vector<uint8_t> encodeWav(std::span<const int16_t> interleaved, WavFormat format,
                               std::string_view software) {
    const uint32_t channels = static_cast<uint32_t>(format.channels);
    const uint32_t rate = static_cast<uint32_t>(format.sampleRate);
    const uint32_t blockAlign = channels * 2;
    const uint32_t dataBytes = static_cast<uint32_t>(interleaved.size() * 2);
    const uint32_t textBytes = static_cast<uint32_t>(software.size() + 1);
    const uint32_t textPadded = textBytes + (textBytes & 1u);
    const uint32_t listBytes = 4 + 8 + textPadded;
    const uint32_t riffBytes = 4 + (8 + 16) + (8 + listBytes) + (8 + dataBytes);

    std::vector<uint8_t> out(8 + size_t{riffBytes}, 0);
    ByteWriter w(out);
    w.tag("RIFF");
    w.u32(riffBytes);
    w.tag("WAVE");
    w.tag("fmt ");
    w.u32(16);
    w.u16(1); // PCM
    w.u16(channels);
    w.u32(rate);
    w.u32(rate * blockAlign);
    w.u16(blockAlign);
    w.u16(16);
    w.tag("LIST");
    w.u32(listBytes);
    w.tag("INFO");
    w.tag("ISFT");
    w.u32(textBytes);
    w.tag(software);
    w.skip(textPadded - software.size()); // the NUL and the pad byte, already zero
    w.tag("data");
    w.u32(dataBytes);
    for (int16_t s : interleaved) w.u16(static_cast<uint16_t>(s));
    return out;
}

bool writeFile(const std::string& path, std::span<const uint8_t> bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    file.close();
    return static_cast<bool>(file);
}

} // namespace veloria::music
