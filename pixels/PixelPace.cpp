#include "pixels/PixelPace.h"

namespace veloria {

void PixelPace::keepPace() {
    if (calls_ == 1) start_ = clock_.now();
    // The block starting with this call ends with call calls_ - 1 + Block: wait until that
    // last call is due, so that every call of the block completes no earlier than its time.
    auto due = start_ + std::chrono::duration_cast<PaceClock::time_point::duration>(
                            std::chrono::duration<double>((calls_ - 1 + Block) / rate_));
    if (clock_.now() < due) clock_.sleepUntil(due);
}

} // namespace veloria
