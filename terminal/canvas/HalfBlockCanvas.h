// Shows the surface with one "▀" per cell: its foreground is the cell's upper half, its
// background the lower half (a blank on that colour where both agree), in truecolour or in
// the 256-colour palette. After the first frame only the cells whose colours changed are sent.
// A half cell's colour is the mean of four points spread over the pixels it covers, so noise
// stays colourful and a picture stays recognisable while few cells change per frame.
#pragma once

#include "terminal/canvas/TerminalCanvas.h"

#include <memory>

namespace veloria {

enum class ColourDepth { TrueColour, Palette256 };

std::unique_ptr<TerminalCanvas> makeHalfBlockCanvas(ColourDepth depth);

} // namespace veloria
