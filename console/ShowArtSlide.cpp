#include "console/ShowArtSlide.h"

namespace veloria {

void showArtSlide(Console& console, Clock& clock, const ArtSlide& slide, unsigned lineDelayMs,
                  unsigned holdMs) {
    for (const std::string& line : slide) {
        console.write(line);
        console.write("\n");
        console.flush();
        clock.Sleep(lineDelayMs);
    }
    clock.Sleep(holdMs);
}

} // namespace veloria
