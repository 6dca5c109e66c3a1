// The show from start to end: the opening texts, then the final key wait. Returns the
// process exit code.
#pragma once

#include "show/Platform.h"

namespace veloria {

int runShow(Platform& platform);

} // namespace veloria
