#include "terminal/QuietThread.h"

namespace veloria {

// Windows has no signals to keep away: its console events run on threads of their own.
std::thread startQuietThread(std::function<void()> work) {
    return std::thread(std::move(work));
}

} // namespace veloria
