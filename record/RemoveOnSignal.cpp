#include "record/RemoveOnSignal.h"

#include <csignal>
#include <cstring>
#include <unistd.h>

namespace veloria {
namespace {

constexpr int Signals[] = {SIGINT, SIGTERM, SIGHUP};

// The path, kept where the handler can read it without allocating.
char removedPath[4096];
struct sigaction previous[sizeof Signals / sizeof Signals[0]];

extern "C" void removeAndEnd(int signal) {
    unlink(removedPath);
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigaction(signal, &fallback, nullptr);
    raise(signal);
}

} // namespace

RemoveOnSignal::RemoveOnSignal(const std::string& path) {
    std::strncpy(removedPath, path.c_str(), sizeof removedPath - 1);
    struct sigaction action {};
    action.sa_handler = removeAndEnd;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < std::size(Signals); ++i)
        sigaction(Signals[i], &action, &previous[i]);
}

RemoveOnSignal::~RemoveOnSignal() {
    for (std::size_t i = 0; i < std::size(Signals); ++i)
        sigaction(Signals[i], &previous[i], nullptr);
}

} // namespace veloria
