// Named shared-memory objects through which a terminal on this machine can take a picture's
// pixels straight from memory rather than through the pty (the kitty graphics protocol's
// shared-memory transmission): made and filled here, read and removed by the terminal.
// POSIX shared memory; where there is none, no object can be made.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace veloria {

// A name no other object has: this process's, told apart by a count.
std::string newSharedMemoryName();
// Makes the object, holding the bytes; false where it cannot be made.
bool writeSharedMemory(const std::string& name, std::span<const std::uint8_t> bytes);
// Whether the object is still there (the terminal has not taken it).
bool sharedMemoryExists(const std::string& name);
void removeSharedMemory(const std::string& name);

} // namespace veloria
