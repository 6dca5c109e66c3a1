// Writes pixels as an 8-bit RGB PNG, stored without compression: pictures for a person to
// look at, and frames for other programs to read.
#pragma once

#include "terminal/ColorValue.h"

#include <functional>
#include <string>

namespace veloria::testing {

// The picture of width x height pixels whose colour at (x, y) is pixelAt(x, y). False if the
// file could not be written.
bool writePng(const std::string& path, int width, int height,
              const std::function<ColorValue(int x, int y)>& pixelAt);

} // namespace veloria::testing
