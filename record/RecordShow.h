// Records the whole show, picture and sound, into a video file in virtual time: the show's own
// sequence runs against a console, clock, sound and window that draw into the video's frames.
// Returns the exit status: 0 once the file is complete, 1 after saying on standard error why
// it could not be made (and leaving no partial file behind).
#pragma once

#include <string>

namespace veloria {

int recordShow(const std::string& file);

} // namespace veloria
