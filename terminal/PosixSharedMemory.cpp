#include "terminal/SharedMemory.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

namespace veloria {

std::string newSharedMemoryName() {
    static std::atomic<unsigned> count{0};
    return "/veloria-" + std::to_string(getpid()) + "-" + std::to_string(count++);
}

bool writeSharedMemory(const std::string& name, std::span<const std::uint8_t> bytes) {
    // Readable by the user alone, and made anew: an object left from before is not reused.
    int fd = shm_open(name.c_str(), O_RDWR | O_CREAT | O_EXCL, 0600);
    if (fd < 0) return false;
    // Written rather than mapped: the kernel copies straight into the object's new pages,
    // without a fault per page (less than half the time for a frame's image).
    bool written = true;
    for (std::size_t done = 0; written && done < bytes.size();) {
        ssize_t wrote =
            pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (wrote < 0 && errno == EINTR) continue;
        written = wrote > 0;
        if (written) done += static_cast<std::size_t>(wrote);
    }
    close(fd);
    if (!written) shm_unlink(name.c_str());
    return written;
}

bool sharedMemoryExists(const std::string& name) {
    int fd = shm_open(name.c_str(), O_RDONLY, 0);
    if (fd < 0) return false;
    close(fd);
    return true;
}

void removeSharedMemory(const std::string& name) {
    shm_unlink(name.c_str());
}

} // namespace veloria
