#include "record/ConsoleScreen.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace veloria {

ConsoleScreen::ConsoleScreen(int columns, int lines) {
    resize(columns, lines);
}

void ConsoleScreen::resize(int columns, int lines) {
    if (columns < 1 || lines < 1)
        throw std::invalid_argument("a console of " + std::to_string(columns) + " x " +
                                    std::to_string(lines) + " cells");
    columns_ = columns;
    lines_ = lines;
    const std::size_t count = static_cast<std::size_t>(columns) * static_cast<std::size_t>(lines);
    cells_.assign(count, ConsoleCell{' ', attribute_});
    stamps_.assign(count, 0);
    cursor_ = {};
    wrapPending_ = false;
    stampAll();
}

void ConsoleScreen::setColors(unsigned attribute) {
    attribute_ = static_cast<unsigned char>(attribute);
    for (ConsoleCell& cell : cells_) cell.attribute = attribute_;
    stampAll();
}

void ConsoleScreen::write(std::string_view bytes) {
    ++generation_;
    for (const char ch : bytes) {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte == '\n' || byte == '\r') {
            wrapPending_ = false;
            cursor_.column = 0;
            if (byte == '\n') lineFeed();
        } else if (byte >= 0x20) {
            if (wrapPending_) {
                wrapPending_ = false;
                cursor_.column = 0;
                lineFeed();
            }
            const std::size_t at = index(cursor_.column, cursor_.line);
            cells_[at] = {byte, attribute_};
            stamps_[at] = generation_;
            if (cursor_.column + 1 < columns_)
                ++cursor_.column;
            else
                wrapPending_ = true;
        }
    }
}

void ConsoleScreen::lineFeed() {
    if (cursor_.line + 1 < lines_) {
        ++cursor_.line;
        return;
    }
    std::move(cells_.begin() + columns_, cells_.end(), cells_.begin());
    std::fill(cells_.end() - columns_, cells_.end(), ConsoleCell{' ', attribute_});
    stampAll();
}

void ConsoleScreen::stampAll() {
    ++generation_;
    std::fill(stamps_.begin(), stamps_.end(), generation_);
}

} // namespace veloria
