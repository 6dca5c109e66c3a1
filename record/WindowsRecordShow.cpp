#include "record/RecordShow.h"

#include <cstdio>

namespace veloria {

// The video encoders are built into the POSIX program only.
int recordShow(const std::string&) {
    std::fputs("veloria: this Windows build cannot record a video; run 'veloria --record FILE' "
               "with the Linux build\n",
               stderr);
    return 1;
}

} // namespace veloria
