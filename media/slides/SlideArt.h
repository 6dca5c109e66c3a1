// Turns a picture into character art: a brightness field sampled over character cells (taller
// than wide) becomes lines of characters picked from a ramp that runs from sparse to dense.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace veloria::slides {

// Brightness per character cell, row by row; 0 is dark, 1 is bright.
struct BrightnessField {
    int columns = 0;
    int rows = 0;
    std::vector<double> values;

    double at(int column, int row) const { return values[row * columns + column]; }
};

// A character cell is this many cell widths tall.
inline constexpr double CellAspect = 2.0;

// A picture as brightness at a point. x runs right in cell widths; y runs down in the same
// units, so one row of cells spans CellAspect units and shapes keep their proportions.
using Picture = std::function<double(double x, double y)>;

// Averages the picture over each cell of a columns x rows grid, sampling each cell on a
// samplesAcross x (CellAspect * samplesAcross) lattice so that edges come out anti-aliased.
BrightnessField sampleCells(int columns, int rows, int samplesAcross, const Picture& picture);

// One line per row: brightness 0 (and below) takes ramp.front(), 1 (and above) ramp.back(),
// values between fall into equal steps of the ramp.
std::vector<std::string> toCharacterLines(const BrightnessField& field, std::string_view ramp);

} // namespace veloria::slides
