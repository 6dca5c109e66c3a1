// Writes bytes to a file descriptor until all are taken or a write fails; a failure ends the
// attempt quietly, as a terminal that is gone has nobody to be told. Only write(2) is called,
// so signal handlers may use it too.
#pragma once

#include <string_view>
#include <unistd.h>

namespace veloria {

inline void writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n <= 0) return;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

} // namespace veloria
