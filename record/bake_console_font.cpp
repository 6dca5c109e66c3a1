// bake_console_font FONT.pcf.gz OUT.cpp: reads an X11 bitmap font in PCF form (gzipped or
// not) whose glyphs are encoded in Windows-1251 and fit a 10 x 20 cell, and writes a C++
// source defining veloria::ConsoleGlyphs, as declared by record/ConsoleFont.h. A font it
// cannot read, or whose glyphs do not fit the cell, is refused with the reason.
#include "record/ConsoleFont.h"

#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using veloria::GlyphHeight;
using veloria::GlyphRows;
using veloria::GlyphWidth;

struct FontError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The table types of a PCF file that the glyphs are read from.
constexpr std::uint32_t Accelerators = 1 << 1, Metrics = 1 << 2, Bitmaps = 1 << 3,
                        BdfEncodings = 1 << 5, BdfAccelerators = 1 << 8;
// The high bits of a table's format that say its metrics are stored one byte each.
constexpr std::uint32_t CompressedMetrics = 0x100;
// An encoding with no glyph.
constexpr std::uint32_t NoGlyph = 0xFFFF;

std::vector<unsigned char> readFile(const char* path) {
    gzFile file = gzopen(path, "rb");
    if (file == nullptr)
        throw FontError(std::string("cannot open the font: ") + std::strerror(errno));
    std::vector<unsigned char> bytes;
    unsigned char buffer[16384];
    int got;
    while ((got = gzread(file, buffer, sizeof buffer)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + got);
    // A stream cut short ends the reads without failing them; gzerror still tells.
    int code = Z_OK;
    std::string why = gzerror(file, &code);
    gzclose(file);
    // zlib's message starts with the path, which the caller names already.
    if (why.starts_with(path)) why.erase(0, std::string(path).size() + 2);
    if (got < 0 || code != Z_OK) throw FontError("cannot read the font: " + why);
    return bytes;
}

// One table of the file. Its first four bytes give its format, least significant byte first;
// the format says in which byte order the rest is stored. Every read is checked against the
// table's end.
class Table {
public:
    Table(const std::vector<unsigned char>& file, std::uint32_t offset, std::uint32_t size,
          const char* name)
        : bytes_(file.data() + offset), size_(size), name_(name) {
        format_ = static_cast<std::uint32_t>(read(0, 4, false));
        if (format_ >> 8 != 0 && format_ >> 8 != 1 && format_ >> 8 != 2)
            fail("has an unknown format");
    }

    std::uint32_t format() const { return format_; }
    // Table data (not the format word) is most significant byte first where bit 2 is set.
    std::int32_t int32(std::size_t at) const {
        return static_cast<std::int32_t>(read(at, 4, true));
    }
    std::uint32_t uint16(std::size_t at) const {
        return static_cast<std::uint32_t>(read(at, 2, true));
    }
    std::int32_t int16(std::size_t at) const {
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(read(at, 2, true)));
    }
    unsigned byte(std::size_t at) const { return static_cast<unsigned>(read(at, 1, true)); }
    // Checks that `length` bytes from `at` lie in the table.
    void require(std::size_t at, std::uint64_t length) const {
        if (at + length > size_) fail("is cut short");
    }
    [[noreturn]] void fail(const std::string& what) const {
        throw FontError(std::string("the ") + name_ + " table " + what);
    }

private:
    std::uint64_t read(std::size_t at, int length, bool inTableOrder) const {
        require(at, static_cast<std::uint64_t>(length));
        bool bigEndian = inTableOrder && (format_ & 4) != 0;
        std::uint64_t value = 0;
        for (int i = 0; i < length; ++i)
            value =
                value << 8 | bytes_[at + static_cast<std::size_t>(bigEndian ? i : length - 1 - i)];
        return value;
    }

    const unsigned char* bytes_;
    std::uint64_t size_;
    const char* name_;
    std::uint32_t format_ = 0;
};

// The table of contents: which tables the file holds and where.
class PcfFile {
public:
    explicit PcfFile(std::vector<unsigned char> bytes) : bytes_(std::move(bytes)) {
        static const unsigned char Magic[4] = {1, 'f', 'c', 'p'};
        if (bytes_.size() < 8 || !std::equal(Magic, Magic + 4, bytes_.begin()))
            throw FontError("not a PCF font");
        const std::uint32_t count = little32(4);
        if (count > 64 || 8 + 16 * std::uint64_t{count} > bytes_.size())
            throw FontError("the table of contents is cut short");
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::size_t at = 8 + 16 * std::size_t{i};
            Entry entry{little32(at), little32(at + 4), little32(at + 8), little32(at + 12)};
            if (entry.offset > bytes_.size())
                throw FontError("a table lies past the end of the file");
            // bdftopcf gives the accelerators 100 bytes in the contents whatever their real
            // size, and writes the last table at its real size: a table ends at the file's end
            // at the latest, and reads past its real data still fail.
            entry.size = static_cast<std::uint32_t>(
                std::min<std::uint64_t>(entry.size, bytes_.size() - entry.offset));
            entries_.push_back(entry);
        }
    }

    // The table of the given type, which must agree with its entry in the contents.
    std::optional<Table> find(std::uint32_t type, const char* name) const {
        for (const Entry& entry : entries_) {
            if (entry.type != type) continue;
            Table table(bytes_, entry.offset, entry.size, name);
            if (table.format() != entry.format)
                table.fail("has another format than the table of contents says");
            return table;
        }
        return std::nullopt;
    }
    Table require(std::uint32_t type, const char* name) const {
        std::optional<Table> table = find(type, name);
        if (!table) throw FontError(std::string("the font has no ") + name + " table");
        return *table;
    }

private:
    struct Entry {
        std::uint32_t type, format, size, offset;
    };

    std::uint32_t little32(std::size_t at) const {
        return bytes_[at] | bytes_[at + 1] << 8 | bytes_[at + 2] << 16 |
               static_cast<std::uint32_t>(bytes_[at + 3]) << 24;
    }

    std::vector<unsigned char> bytes_;
    std::vector<Entry> entries_;
};

// Where a glyph's ink lies around its origin on the baseline, and how far it advances.
struct GlyphMetrics {
    int left, right, advance, ascent, descent;
};

std::vector<GlyphMetrics> readMetrics(const Table& table) {
    std::vector<GlyphMetrics> metrics;
    if ((table.format() & ~0xFFu) == CompressedMetrics) {
        // One byte each, offset by 0x80.
        const std::uint32_t count = table.uint16(4);
        table.require(6, 5 * std::uint64_t{count});
        for (std::size_t i = 0, at = 6; i < count; ++i, at += 5) {
            auto value = [&](std::size_t k) { return static_cast<int>(table.byte(at + k)) - 0x80; };
            metrics.push_back({value(0), value(1), value(2), value(3), value(4)});
        }
    } else {
        const std::int32_t count = table.int32(4);
        if (count < 0) table.fail("counts fewer than no glyphs");
        table.require(8, 12 * std::uint64_t(count));
        for (std::size_t i = 0, at = 8; i < std::size_t(count); ++i, at += 12)
            metrics.push_back({table.int16(at), table.int16(at + 2), table.int16(at + 4),
                               table.int16(at + 6), table.int16(at + 8)});
    }
    return metrics;
}

// The glyph images: each row padded to a whole number of units, bits in the table's order.
class GlyphBitmaps {
public:
    GlyphBitmaps(const Table& table, std::size_t glyphs) : table_(table) {
        const std::int32_t count = table.int32(4);
        if (count < 0 || std::size_t(count) != glyphs)
            table.fail("holds another number of glyphs than the metrics");
        for (std::size_t i = 0; i < glyphs; ++i) offsets_.push_back(table.int32(8 + 4 * i));
        const std::size_t sizes = 8 + 4 * glyphs;
        const std::int32_t size = table.int32(sizes + 4 * (table.format() & 3));
        data_ = sizes + 16;
        if (size < 0) table.fail("has a negative size");
        table.require(data_, std::uint64_t(size));
        size_ = std::size_t(size);
    }

    // The glyph's ink, placed in a cell whose baseline lies `cellAscent` rows from its top.
    GlyphRows cellRows(std::size_t glyph, const GlyphMetrics& m, int cellAscent,
                       const std::string& which) const {
        const int width = m.right - m.left, height = m.ascent + m.descent;
        const int top = cellAscent - m.ascent;
        if (m.advance != GlyphWidth || width < 0 || height < 0 || m.left < 0 ||
            m.right > GlyphWidth || top < 0 || top + height > GlyphHeight)
            throw FontError("the glyph of " + which + " does not fit a " +
                            std::to_string(GlyphWidth) + " x " + std::to_string(GlyphHeight) +
                            " cell");
        const std::size_t pad = std::size_t{1} << (table_.format() & 3);
        const std::size_t stride = ((std::size_t(width) + 7) / 8 + pad - 1) / pad * pad;
        const std::int32_t offset = offsets_[glyph];
        if (offset < 0 || std::size_t(offset) + stride * std::size_t(height) > size_)
            table_.fail("puts the glyph of " + which + " past its end");
        GlyphRows rows{};
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (bit(std::size_t(offset) + stride * std::size_t(y), std::size_t(x)))
                    rows[std::size_t(top + y)] |=
                        static_cast<std::uint16_t>(1 << (GlyphWidth - 1 - (m.left + x)));
        return rows;
    }

private:
    // Pixel x of the row starting at `row`. The bytes of a unit are swapped where the byte
    // order differs from the bit order, and the bits of a byte run from the most significant
    // where bit 3 of the format is set.
    bool bit(std::size_t row, std::size_t x) const {
        const std::uint32_t format = table_.format();
        const bool mostSignificantBitFirst = (format & 8) != 0;
        const bool mostSignificantByteFirst = (format & 4) != 0;
        const std::size_t unit = std::size_t{1} << (format >> 4 & 3);
        std::size_t at = x / 8;
        if (mostSignificantBitFirst != mostSignificantByteFirst)
            at = at / unit * unit + (unit - 1 - at % unit);
        const unsigned byte = table_.byte(data_ + row + at);
        const unsigned shift = mostSignificantBitFirst ? 7 - x % 8 : x % 8;
        return (byte >> shift & 1) != 0;
    }

    const Table& table_;
    std::vector<std::int32_t> offsets_;
    std::size_t data_ = 0;
    std::size_t size_ = 0;
};

// Which glyph each character code names: a grid of first and second bytes.
class Encodings {
public:
    Encodings(const Table& table, std::size_t glyphs) : table_(table), glyphs_(glyphs) {
        minByte2_ = table.int16(4);
        maxByte2_ = table.int16(6);
        minByte1_ = table.int16(8);
        maxByte1_ = table.int16(10);
        defaultChar_ = table.uint16(12);
        if (minByte2_ < 0 || maxByte2_ < minByte2_ || minByte1_ < 0 || maxByte1_ < minByte1_)
            table.fail("has no valid range of codes");
        table.require(14, 2 * std::uint64_t(maxByte2_ - minByte2_ + 1) *
                              std::uint64_t(maxByte1_ - minByte1_ + 1));
    }

    std::uint32_t defaultChar() const { return defaultChar_; }

    std::optional<std::size_t> glyphOf(std::uint32_t code) const {
        const int byte1 = static_cast<int>(code >> 8), byte2 = static_cast<int>(code & 0xFF);
        if (byte1 < minByte1_ || byte1 > maxByte1_ || byte2 < minByte2_ || byte2 > maxByte2_)
            return std::nullopt;
        const int at = (byte1 - minByte1_) * (maxByte2_ - minByte2_ + 1) + byte2 - minByte2_;
        const std::uint32_t glyph = table_.uint16(14 + 2 * std::size_t(at));
        if (glyph == NoGlyph) return std::nullopt;
        if (glyph >= glyphs_)
            table_.fail("names glyph " + std::to_string(glyph) + " of only " +
                        std::to_string(glyphs_));
        return glyph;
    }

private:
    const Table& table_;
    std::size_t glyphs_;
    int minByte2_, maxByte2_, minByte1_, maxByte1_;
    std::uint32_t defaultChar_;
};

std::string hexByte(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", value);
    return text;
}

// The glyph of every byte, the default character's where a byte has none.
std::vector<GlyphRows> readGlyphs(const PcfFile& font) {
    std::optional<Table> accelerators = font.find(BdfAccelerators, "BDF accelerators");
    if (!accelerators) accelerators = font.require(Accelerators, "accelerators");
    const int ascent = accelerators->int32(12), descent = accelerators->int32(16);
    if (ascent < 0 || descent < 0 || ascent + descent != GlyphHeight)
        throw FontError("the font's cells are " + std::to_string(ascent + descent) +
                        " pixels high, not " + std::to_string(GlyphHeight));

    const Table metricsTable = font.require(Metrics, "metrics");
    const std::vector<GlyphMetrics> metrics = readMetrics(metricsTable);
    const Table bitmapsTable = font.require(Bitmaps, "bitmaps");
    const GlyphBitmaps bitmaps(bitmapsTable, metrics.size());
    const Table encodingsTable = font.require(BdfEncodings, "encodings");
    const Encodings encodings(encodingsTable, metrics.size());

    const std::optional<std::size_t> fallback = encodings.glyphOf(encodings.defaultChar());
    std::vector<GlyphRows> glyphs;
    for (unsigned byte = 0; byte < 256; ++byte) {
        std::optional<std::size_t> glyph = encodings.glyphOf(byte);
        if (!glyph) glyph = fallback;
        glyphs.push_back(glyph ? bitmaps.cellRows(*glyph, metrics[*glyph], ascent, hexByte(byte))
                               : GlyphRows{});
    }
    return glyphs;
}

// One row as a binary literal, so that the source shows the glyph's shape.
std::string binaryLiteral(std::uint16_t row) {
    std::string literal = "0b";
    for (int x = 0; x < GlyphWidth; ++x) literal += (row >> (GlyphWidth - 1 - x) & 1) ? '1' : '0';
    return literal;
}

std::string glyphsSource(const std::vector<GlyphRows>& glyphs, const std::string& fontName) {
    std::string source = "// Generated by bake_console_font from " + fontName +
                         ": the console window's glyphs.\n"
                         "#include \"record/ConsoleFont.h\"\n\n"
                         "namespace veloria {\n\n"
                         "const GlyphRows ConsoleGlyphs[256] = {\n";
    for (std::size_t byte = 0; byte < glyphs.size(); ++byte) {
        source += "    // " + hexByte(static_cast<unsigned>(byte)) + "\n    {{\n";
        for (std::uint16_t row : glyphs[byte]) source += "        " + binaryLiteral(row) + ",\n";
        source += "    }},\n";
    }
    source += "};\n\n} // namespace veloria\n";
    return source;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: bake_console_font FONT.pcf.gz OUT.cpp\n");
        return 2;
    }
    const std::string fontPath = argv[1];
    std::string source;
    try {
        const std::vector<GlyphRows> glyphs = readGlyphs(PcfFile(readFile(argv[1])));
        source = glyphsSource(glyphs, fontPath.substr(fontPath.find_last_of('/') + 1));
    } catch (const FontError& error) {
        std::fprintf(stderr, "bake_console_font: %s: %s\n", argv[1], error.what());
        return 1;
    }
    // Binary mode: the same bytes on every system.
    std::ofstream out(argv[2], std::ios::binary);
    out << source;
    out.close();
    if (!out) {
        std::fprintf(stderr, "bake_console_font: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
