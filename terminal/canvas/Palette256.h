// Colours shown with the 256-colour palette: its 6 x 6 x 6 cube from index 16 and its grey
// ramp from 232 (the first 16 are set by the user, so nothing relies on them). The cube's dark
// levels are far apart (0, then 95), so the nearest entry to a dark blue or green, however it
// is measured, is a grey. Coloured dots are therefore dithered between the cube's levels that
// bracket them, in an ordered pattern, so that a patch of them averages to the colour's hue
// and light; colours that are nearly grey take the nearest grey, undithered.
#pragma once

#include "terminal/ColorValue.h"

namespace veloria {

// The colour of entry 16 ... 255.
ColorValue paletteColour(unsigned index);

// The entry that shows the colour at dot (x, y) of a raster.
unsigned paletteIndexAt(ColorValue colour, int x, int y);

} // namespace veloria
