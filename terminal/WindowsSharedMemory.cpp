#include "terminal/SharedMemory.h"

namespace veloria {

// A Windows console's terminal takes no pictures from this process's memory.
std::string newSharedMemoryName() {
    return {};
}
bool writeSharedMemory(const std::string&, std::span<const std::uint8_t>) {
    return false;
}
bool sharedMemoryExists(const std::string&) {
    return false;
}
void removeSharedMemory(const std::string&) {}

} // namespace veloria
