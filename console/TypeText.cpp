#include "console/TypeText.h"

namespace veloria {

void typeText(Console& console, Clock& clock, std::string_view text, unsigned delayMs) {
    console.write("    ");
    // Counts the indent; reset by a break and raised after each character's break test, so on
    // lines after the first it runs one ahead of the columns written. That asymmetry is what
    // puts the breaks where they fall.
    int column = 4;
    for (char ch : text) {
        console.write(std::string_view(&ch, 1));
        if (column > 40 && ch == ' ') {
            console.write("\n");
            column = 0;
        }
        ++column;
        console.flush();
        clock.Sleep(delayMs);
    }
    console.write("\n");
    console.flush();
}

} // namespace veloria
