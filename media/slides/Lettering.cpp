#include "media/slides/Lettering.h"

#include "media/common/DeterministicMath.h"
#include "media/common/VectorMath.h"

#include <array>
#include <stdexcept>
#include <string>

namespace veloria::slides {

namespace {

// A letter drawn row by row; '#' is ink. Letters differ in width, all rows of one are equal.
struct Glyph {
    char letter;
    std::array<std::string_view, GlyphRows> rows;

    int width() const { return static_cast<int>(rows[0].size()); }
};

// The letters the title slide spells.
constexpr std::array Font{
    Glyph{' ', {"....", "....", "....", "....", "....", "....", "...."}},
    Glyph{'A',
          {"..####..", ".##..##.", "##....##", "##....##", "########", "##....##", "##....##"}},
    Glyph{'C', {".#####.", "##...##", "##.....", "##.....", "##.....", "##...##", ".#####."}},
    Glyph{'D', {"######.", "##...##", "##...##", "##...##", "##...##", "##...##", "######."}},
    Glyph{'E', {"#######", "##.....", "##.....", "######.", "##.....", "##.....", "#######"}},
    Glyph{'G', {".#####.", "##...##", "##.....", "##.####", "##...##", "##...##", ".#####."}},
    Glyph{'I', {"######", "..##..", "..##..", "..##..", "..##..", "..##..", "######"}},
    Glyph{'L', {"##.....", "##.....", "##.....", "##.....", "##.....", "##.....", "#######"}},
    Glyph{'M',
          {"##.....##", "###...###", "####.####", "##.###.##", "##..#..##", "##.....##",
           "##.....##"}},
    Glyph{'N',
          {"##....##", "###...##", "####..##", "##.##.##", "##..####", "##...###", "##....##"}},
    Glyph{'O', {".#####.", "##...##", "##...##", "##...##", "##...##", "##...##", ".#####."}},
    Glyph{'R', {"######.", "##...##", "##...##", "######.", "##.##..", "##..##.", "##...##"}},
    Glyph{'S', {".#####.", "##...##", "##.....", ".#####.", ".....##", "##...##", ".#####."}},
    Glyph{'T',
          {"########", "...##...", "...##...", "...##...", "...##...", "...##...", "...##..."}},
    Glyph{'V',
          {"##....##", "##....##", "##....##", "##....##", ".##..##.", "..####..", "...##..."}},
};

const Glyph& glyphFor(char letter) {
    for (const Glyph& glyph : Font) {
        if (glyph.letter == letter) return glyph;
    }
    throw std::invalid_argument(std::string("no glyph for '") + letter + "'");
}

int textColumns(std::string_view text) {
    int columns = 0;
    for (const char letter : text) columns += glyphFor(letter).width() + LetterSpacing;
    return text.empty() ? 0 : columns - LetterSpacing;
}

} // namespace

BitmapText::BitmapText(std::string_view text)
    : columns_(textColumns(text)), bits_(static_cast<size_t>(columns_) * GlyphRows, false) {
    int left = 0;
    for (const char letter : text) {
        const Glyph& glyph = glyphFor(letter);
        for (int row = 0; row < GlyphRows; ++row) {
            for (int column = 0; column < glyph.width(); ++column) {
                bits_[row * columns_ + left + column] = glyph.rows[row][column] == '#';
            }
        }
        left += glyph.width() + LetterSpacing;
    }
}

bool BitmapText::pixel(int column, int row) const {
    if (column < 0 || column >= columns_ || row < 0 || row >= GlyphRows) return false;
    return bits_[row * columns_ + column];
}

double BitmapText::ink(double u, double v) const {
    using drawing::mix;
    // Pixel centres sit at half-integer positions; interpolate bilinearly between the four
    // nearest ones.
    const double cu = u - 0.5, cv = v - 0.5;
    const double fu = dmath::floorOf(cu), fv = dmath::floorOf(cv);
    const int column = static_cast<int>(fu), row = static_cast<int>(fv);
    const double tu = cu - fu, tv = cv - fv;
    auto at = [&](int dc, int dr) { return pixel(column + dc, row + dr) ? 1.0 : 0.0; };
    return mix(mix(at(0, 0), at(1, 0), tu), mix(at(0, 1), at(1, 1), tu), tv);
}

} // namespace veloria::slides
