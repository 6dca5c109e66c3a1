#include "terminal/canvas/SparseRgbaZlib.h"

namespace veloria {
namespace {

constexpr std::uint32_t AdlerModulus = 65521;
constexpr std::size_t LongestMatch = 258;

// One fixed-Huffman deflate block (RFC 1951), written least significant bit first, with the
// Adler-32 of what it encodes (RFC 1950).
class FixedHuffmanWriter {
public:
    explicit FixedHuffmanWriter(std::vector<std::uint8_t>& out) : out_(out) {}

    // A Huffman code goes most significant bit first.
    void code(std::uint32_t value, int length) {
        std::uint32_t reversed = 0;
        for (int i = 0; i < length; ++i) reversed |= ((value >> i) & 1u) << (length - 1 - i);
        bits(reversed, length);
    }
    void bits(std::uint32_t value, int count) {
        buffer_ |= static_cast<std::uint64_t>(value) << filled_;
        filled_ += count;
        while (filled_ >= 8) {
            out_.push_back(static_cast<std::uint8_t>(buffer_));
            buffer_ >>= 8;
            filled_ -= 8;
        }
    }
    void flush() {
        if (filled_ > 0) out_.push_back(static_cast<std::uint8_t>(buffer_));
        buffer_ = 0;
        filled_ = 0;
    }

    void literal(std::uint8_t byte) {
        if (byte < 144)
            code(0x30u + byte, 8);
        else
            code(0x190u + (byte - 144u), 9);
        a_ = (a_ + byte) % AdlerModulus;
        b_ = (b_ + a_) % AdlerModulus;
    }

    // count more zero bytes, the last byte written being zero.
    void repeatZero(std::size_t count) {
        b_ = static_cast<std::uint32_t>((b_ + count % AdlerModulus * a_) % AdlerModulus);
        for (; count >= LongestMatch; count -= LongestMatch) match(LongestMatch);
        if (count >= 3)
            match(count);
        else
            for (; count > 0; --count) literalCode(0);
    }

    void end() { lengthCode(256); }
    std::uint32_t adler() const { return b_ << 16 | a_; }

private:
    void literalCode(std::uint8_t byte) { code(0x30u + byte, 8); }

    void lengthCode(std::uint32_t symbol) {
        if (symbol < 280)
            code(symbol - 256, 7);
        else
            code(0xC0u + (symbol - 280), 8);
    }

    // A back-reference to the byte before, length 3 to 258.
    void match(std::size_t length) {
        static constexpr std::uint16_t Base[29] = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                                   15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                                   67, 83, 99, 115, 131, 163, 195, 227, 258};
        static constexpr std::uint8_t Extra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                   2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
        int i = 28;
        while (Base[i] > length) --i;
        lengthCode(257u + static_cast<std::uint32_t>(i));
        bits(static_cast<std::uint32_t>(length - Base[i]), Extra[i]);
        code(0, 5); // distance 1
    }

    std::vector<std::uint8_t>& out_;
    std::uint64_t buffer_ = 0;
    int filled_ = 0;
    std::uint32_t a_ = 1;
    std::uint32_t b_ = 0;
};

} // namespace

void appendSparseRgbaZlib(std::vector<std::uint8_t>& out, std::size_t pixelCount,
                          std::span<const OpaquePixel> pixels) {
    out.push_back(0x78); // deflate, 32 KB window
    out.push_back(0x01); // fastest, no dictionary; the header is a multiple of 31
    FixedHuffmanWriter writer(out);
    writer.bits(1, 1);    // the last block
    writer.bits(1, 2);    // fixed Huffman codes
    std::size_t next = 0; // the byte the stream has reached
    auto zeros = [&](std::size_t end) {
        if (end <= next) return;
        // The back-references need a zero before them: after an opaque pixel's alpha, or at
        // the start, one goes as it is.
        writer.literal(0);
        writer.repeatZero(end - next - 1);
        next = end;
    };
    for (const OpaquePixel& p : pixels) {
        zeros(static_cast<std::size_t>(p.at) * 4);
        writer.literal(p.red);
        writer.literal(p.green);
        writer.literal(p.blue);
        writer.literal(255);
        next += 4;
    }
    zeros(pixelCount * 4);
    writer.end();
    writer.flush();
    std::uint32_t adler = writer.adler();
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(adler >> shift));
}

} // namespace veloria
