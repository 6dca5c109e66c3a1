// Keeps the user's terminal as it was found. Whatever the show changes (echo, size, colours,
// cursor, autowrap) is kept here with the bytes that make the change and the bytes
// that undo it. The changes are undone when the guard is destroyed, or from SIGINT, SIGTERM
// and SIGHUP before the signal ends the process with its usual status (128 + signal number).
// SIGTSTP (Ctrl-Z) undoes them too and stops the process as usual; when it is continued (fg)
// they are made again, and the time it spent stopped is left out of the running clock.
// The handlers expect to run on the show's main thread: its other threads block the signals.
// Held by the standard terminal, which the console and the pixel surface share.
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
    // Keeps the bytes of a change the caller is about to make. Of a setting's undo bytes the
    // first kept holds, as they restore the state the show found; of the bytes that make it,
    // the latest, as they make the state the show left. Both are written in the order the
    // settings were first kept. Can be called by anything that changes the terminal while a
    // guard lives.
    static void keep(Setting setting, std::string_view apply, std::string_view undo);
    // How many times the show was continued after a stop.
    static unsigned continues();
};

} // namespace veloria
