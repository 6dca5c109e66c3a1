#include "media/slides/SlideArt.h"

#include <algorithm>

namespace veloria::slides {

BrightnessField sampleCells(int columns, int rows, int samplesAcross, const Picture& picture) {
    const int samplesDown = static_cast<int>(CellAspect) * samplesAcross;
    const double step = 1.0 / samplesAcross;
    BrightnessField field{columns, rows, std::vector<double>(columns * rows, 0.0)};
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            double sum = 0.0;
            for (int j = 0; j < samplesDown; ++j) {
                const double y = row * CellAspect + (j + 0.5) * step;
                for (int i = 0; i < samplesAcross; ++i) {
                    sum += picture(column + (i + 0.5) * step, y);
                }
            }
            field.values[row * columns + column] = sum / (samplesAcross * samplesDown);
        }
    }
    return field;
}

std::vector<std::string> toCharacterLines(const BrightnessField& field, std::string_view ramp) {
    const int levels = static_cast<int>(ramp.size());
    std::vector<std::string> lines;
    lines.reserve(field.rows);
    for (int row = 0; row < field.rows; ++row) {
        std::string line;
        line.reserve(field.columns);
        for (int column = 0; column < field.columns; ++column) {
            const double value = std::clamp(field.at(column, row), 0.0, 1.0);
            const int level = std::min(levels - 1, static_cast<int>(value * levels));
            line.push_back(ramp[level]);
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

} // namespace veloria::slides
