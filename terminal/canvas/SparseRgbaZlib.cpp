#include "terminal/canvas/SparseRgbaZlib.h"

#include <array>
#include <iterator>

namespace veloria {
namespace {

constexpr std::uint32_t AdlerModulus = 65521;
constexpr std::size_t LongestMatch = 258;
constexpr int LiteralLengthSymbols = 286; // 0-255 bytes, 256 the block's end, 257-285 lengths
constexpr int EndOfBlock = 256;
constexpr int LongestMatchSymbol = 285;

// The code lengths of the literal/length alphabet, made for a mostly transparent image: the
// back-reference of 258 bytes, most of such an image, takes one bit (its distance one more). The
// other half of the code space holds every other symbol at nine bits or ten: the bytes 226 to 254
// (bright channels, not the alpha of 255 nor the zeros) and the block's end and other lengths at
// ten, the rest at nine. 227 nine-bit and 58 ten-bit codes fill that half exactly, so the
// code is complete, as inflate requires.
constexpr int codeLength(int symbol) {
    if (symbol == LongestMatchSymbol) return 1;
    if (symbol >= EndOfBlock || (symbol >= 226 && symbol <= 254)) return 10;
    return 9;
}

// The canonical Huffman codes of those lengths, bit-reversed for writing least significant
// bit first.
struct LiteralLengthCodes {
    std::array<std::uint16_t, LiteralLengthSymbols> code{};
    std::array<std::uint8_t, LiteralLengthSymbols> length{};
};

constexpr std::uint32_t reversed(std::uint32_t value, int length) {
    std::uint32_t out = 0;
    for (int i = 0; i < length; ++i) out |= ((value >> i) & 1u) << (length - 1 - i);
    return out;
}

constexpr LiteralLengthCodes makeCodes() {
    LiteralLengthCodes codes;
    std::array<int, 16> count{};
    for (int s = 0; s < LiteralLengthSymbols; ++s) ++count[codeLength(s)];
    std::array<std::uint32_t, 16> next{};
    std::uint32_t code = 0;
    for (int length = 1; length < 16; ++length) {
        code = (code + static_cast<std::uint32_t>(count[length - 1])) << 1;
        next[length] = code;
    }
    for (int s = 0; s < LiteralLengthSymbols; ++s) {
        int length = codeLength(s);
        codes.length[s] = static_cast<std::uint8_t>(length);
        codes.code[s] = static_cast<std::uint16_t>(reversed(next[length]++, length));
    }
    return codes;
}

constexpr LiteralLengthCodes Codes = makeCodes();

// One deflate block with the codes above (RFC 1951), written least significant bit first,
// with the Adler-32 of what it encodes (RFC 1950).
class SparseBlockWriter {
public:
    explicit SparseBlockWriter(std::vector<std::uint8_t>& out) : out_(out) {}

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

    // The last block's header and its code tables. The code lengths go in a code of their
    // own: 9 as "0", 1 as "10", 10 as "11" (canonical for lengths 1, 2, 2).
    void begin() {
        bits(1, 1);                          // the last block
        bits(2, 2);                          // dynamic Huffman codes
        bits(LiteralLengthSymbols - 257, 5); // HLIT
        bits(0, 5);                          // HDIST: one distance code
        // The code length code's lengths, in the format's order up to the symbol 1.
        constexpr int Order[] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1};
        bits(static_cast<std::uint32_t>(std::size(Order) - 4), 4); // HCLEN
        for (int symbol : Order) bits(symbol == 9 ? 1 : symbol == 10 || symbol == 1 ? 2 : 0, 3);
        auto length = [&](int value) {
            if (value == 9)
                bits(0b0, 1);
            else if (value == 1)
                bits(0b01, 2); // "10", least significant bit first
            else
                bits(0b11, 2);
        };
        for (int s = 0; s < LiteralLengthSymbols; ++s) length(Codes.length[s]);
        length(1); // the one distance code, distance 1, one bit
    }

    void literal(std::uint8_t byte) {
        symbol(byte);
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
            for (; count > 0; --count) symbol(0);
    }

    void end() { symbol(EndOfBlock); }
    std::uint32_t adler() const { return b_ << 16 | a_; }

private:
    void symbol(int s) { bits(Codes.code[s], Codes.length[s]); }

    // A back-reference to the byte before, length 3 to 258.
    void match(std::size_t length) {
        static constexpr std::uint16_t Base[29] = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                                   15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                                   67, 83, 99, 115, 131, 163, 195, 227, 258};
        static constexpr std::uint8_t Extra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                   2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
        int i = 28;
        while (Base[i] > length) --i;
        symbol(257 + i);
        bits(static_cast<std::uint32_t>(length - Base[i]), Extra[i]);
        bits(0, 1); // distance 1, the one distance code
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
    SparseBlockWriter writer(out);
    writer.begin();
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
