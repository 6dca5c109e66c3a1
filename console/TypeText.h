// Writes a text so that it looks typed: a four-space indent, one character at a time with a
// pause after each, lines broken at the first space past column 40, a line break at the end.
#pragma once

#include "console/Clock.h"
#include "console/Console.h"

#include <string_view>

namespace veloria {

void typeText(Console& console, Clock& clock, std::string_view text, unsigned delayMs);

} // namespace veloria
