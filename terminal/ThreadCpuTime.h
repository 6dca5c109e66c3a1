// The processor time the calling thread has used so far, user and system, for the presenter
// to report what showing the pictures cost.
#pragma once

#include <chrono>

namespace veloria {

std::chrono::nanoseconds threadCpuTime();

} // namespace veloria
