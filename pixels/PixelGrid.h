// A picture as a table of colours: rows of ColorValue, all of one length. A value: copies own
// their storage.
#pragma once

#include "terminal/ColorValue.h"

#include <vector>

namespace veloria {

using PixelGrid = std::vector<std::vector<ColorValue>>;

} // namespace veloria
