// Big lettering for the title slide: text set in a small bold bitmap font (seven pixels tall,
// two-pixel stems), read back as a smooth ink value between the font pixels so that the
// scaled-up letters get rounded corners and clean diagonals.
#pragma once

#include <string_view>
#include <vector>

namespace veloria::slides {

inline constexpr int GlyphRows = 7;
// Empty pixel columns between letters.
inline constexpr int LetterSpacing = 2;

class BitmapText {
public:
    // Throws std::invalid_argument for a character the font does not have.
    explicit BitmapText(std::string_view text);

    // Pixel columns from the first letter's left edge to the last letter's right edge.
    int columns() const { return columns_; }
    int rows() const { return GlyphRows; }

    // Whether a font pixel is inked; pixels outside the text are blank.
    bool pixel(int column, int row) const;

    // Ink at (u, v), measured in font pixels from the text's top-left corner: the pixels
    // interpolated between their centres, so 1 on strokes, 0 away from them and 0.5 along the
    // smoothed outline.
    double ink(double u, double v) const;

private:
    int columns_ = 0;
    std::vector<bool> bits_;
};

} // namespace veloria::slides
