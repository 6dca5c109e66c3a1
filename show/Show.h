// The show from start to end: the typed opening, the music with the art slides, the picture
// gallery, then the final key wait. Returns the process exit code; a picture that cannot be
// loaded ends the show at once with PictureError.
#pragma once

#include "show/Platform.h"

namespace veloria {

int runShow(Platform& platform);

} // namespace veloria
