#include "terminal/ThreadCpuTime.h"

#include <windows.h>

namespace veloria {

std::chrono::nanoseconds threadCpuTime() {
    FILETIME created, exited, kernel, user;
    if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) return {};
    auto hundreds = [](const FILETIME& t) {
        return static_cast<long long>(ULARGE_INTEGER{{t.dwLowDateTime, t.dwHighDateTime}}.QuadPart);
    };
    return std::chrono::nanoseconds((hundreds(kernel) + hundreds(user)) * 100);
}

} // namespace veloria
