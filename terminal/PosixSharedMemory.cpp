#include "terminal/SharedMemory.h"

#include <atomic>
#include <cstring>
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
    bool written = ftruncate(fd, static_cast<off_t>(bytes.size())) == 0;
    if (written && !bytes.empty()) {
        void* mapped = mmap(nullptr, bytes.size(), PROT_WRITE, MAP_SHARED, fd, 0);
        written = mapped != MAP_FAILED;
        if (written) {
            std::memcpy(mapped, bytes.data(), bytes.size());
            munmap(mapped, bytes.size());
        }
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
