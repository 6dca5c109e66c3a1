#include "terminal/ThreadCpuTime.h"

#include <ctime>

namespace veloria {

std::chrono::nanoseconds threadCpuTime() {
    timespec used{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &used);
    return std::chrono::seconds(used.tv_sec) + std::chrono::nanoseconds(used.tv_nsec);
}

} // namespace veloria
