// Shows a character-art slide: its lines written top to bottom, each made visible and
// followed by a pause, so that the picture builds up line by line; then holds it. Nothing is
// cleared before or after, so consecutive slides scroll on from one another.
#pragma once

#include "console/Clock.h"
#include "console/Console.h"

#include <string>
#include <vector>

namespace veloria {

// Lines of printable ASCII, top to bottom.
using ArtSlide = std::vector<std::string>;

void showArtSlide(Console& console, Clock& clock, const ArtSlide& slide, unsigned lineDelayMs,
                  unsigned holdMs);

} // namespace veloria
