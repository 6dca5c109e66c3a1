#include "terminal/canvas/SixelData.h"

#include <charconv>

namespace veloria {
namespace {

// Sixel data repeats a character with "!count" where that is shorter.
void appendRun(std::string& out, char sixel, int count) {
    if (count > 3) {
        out += '!';
        appendNumber(out, count);
        out += sixel;
    } else {
        out.append(static_cast<std::size_t>(count), sixel);
    }
}

} // namespace

void appendNumber(std::string& out, int value) {
    char digits[12];
    auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end);
}

void appendSixelStart(std::string& out, int width, int height,
                      const std::array<bool, SixelPaletteSize>& used) {
    // Raster attributes: square pixels, the image's size.
    out += "\x1bP0;1;0q\"1;1;";
    appendNumber(out, width);
    out += ';';
    appendNumber(out, height);
    for (int i = 0; i < SixelPaletteSize; ++i) {
        if (!used[i]) continue;
        int r = i / (SixelGreenLevels * SixelBlueLevels);
        int g = i / SixelBlueLevels % SixelGreenLevels;
        int b = i % SixelBlueLevels;
        out += '#';
        appendNumber(out, i);
        out += ";2;";
        appendNumber(out, (r * 100 + (SixelRedLevels - 1) / 2) / (SixelRedLevels - 1));
        out += ';';
        appendNumber(out, (g * 100 + (SixelGreenLevels - 1) / 2) / (SixelGreenLevels - 1));
        out += ';';
        appendNumber(out, (b * 100 + (SixelBlueLevels - 1) / 2) / (SixelBlueLevels - 1));
    }
}

void appendSixelColumns(std::string& out, const std::vector<SixelColumn>& columns) {
    int x = 0;
    std::size_t i = 0;
    while (i < columns.size()) {
        if (columns[i].x > x) appendRun(out, '?', columns[i].x - x);
        std::size_t j = i + 1;
        while (j < columns.size() && columns[j].rows == columns[i].rows &&
               columns[j].x == columns[j - 1].x + 1)
            ++j;
        int count = static_cast<int>(j - i);
        appendRun(out, static_cast<char>('?' + columns[i].rows), count);
        x = columns[i].x + count;
        i = j;
    }
}

} // namespace veloria
