// Makes the canvas that a terminal choice names; none for a terminal that is not drawn on.
#pragma once

#include "pixels/terminal/TermQuery.h"

#include <memory>

namespace veloria {

std::unique_ptr<TerminalCanvas> makeCanvas(const TerminalChoice& choice);

} // namespace veloria
