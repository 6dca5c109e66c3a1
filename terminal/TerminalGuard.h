// Keeps the user's terminal as it was found. Whatever the show changes (echo, size, colours,
// cursor, autowrap) is registered here together with the bytes that undo it, and is
// undone when the guard is destroyed, or from SIGINT, SIGTERM and SIGHUP before the signal
// ends the process with its usual status (128 + signal number). Held by the standard
// terminal, which the console and the pixel surface share.
#pragma once

#include "terminal/Terminal.h"

#include <string_view>
#include <sys/ioctl.h>

namespace veloria {

class TerminalGuard {
public:
    TerminalGuard();
    ~TerminalGuard();
    TerminalGuard(const TerminalGuard&) = delete;
    TerminalGuard& operator=(const TerminalGuard&) = delete;

    // The terminal's size in cells when the show started, where standard output is one.
    static bool originalSize(winsize& size);
    // Registers bytes that undo a change the caller is about to make; the restore writes them
    // in registration order. A key registers once: later calls with the same key are ignored,
    // so the first state seen is the one restored.
    // Can be called by anything that changes the terminal while a guard lives.
    static void onRestore(Restore key, std::string_view undo);
};

} // namespace veloria
