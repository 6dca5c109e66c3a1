// The show from start to end: the typed opening, the music with the art slides, then the
// final key wait. Returns the process exit code.
#pragma once

#include "show/Platform.h"

namespace veloria {

int runShow(Platform& platform);

} // namespace veloria
