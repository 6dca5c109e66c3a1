#include "terminal/TerminalGuard.h"

#include "terminal/WriteAll.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace veloria {
namespace {

// Everything here is read by the signal handler, so it is plain static data, changed only
// while the handled signals are blocked.
constexpr int HandledSignals[] = {SIGINT, SIGTERM, SIGHUP};
constexpr std::size_t MaxUndo = 512;
constexpr int MaxKeys = 16;

struct SavedState {
    bool haveTermios = false;
    termios modes{};
    bool haveSize = false;
    winsize size{};
    char undo[MaxUndo]{};
    std::size_t undoLength = 0;
    Restore keys[MaxKeys]{};
    int keyCount = 0;
    bool restored = false;
};
SavedState saved;

// Async-signal-safe: only write(2) and tcsetattr(3).
void restoreTerminal(int terminal) {
    if (saved.restored) return;
    saved.restored = true;
    if (saved.undoLength) {
        // A signal may cut a sequence or a picture short: ESC abandons an escape sequence in
        // progress and, as ST, ends a graphics string, so the undo bytes are read as such. A
        // terminal in its ground state ignores a lone ST, where some draw CAN as a glyph.
        writeAll(terminal, "\x1b\\");
        writeAll(terminal, std::string_view(saved.undo, saved.undoLength));
    }
    if (saved.haveTermios) tcsetattr(STDIN_FILENO, TCSANOW, &saved.modes);
}

// The picture presenter may still be writing from its own thread when a signal comes. From
// here on standard output leads nowhere, so none of its writes can follow the restoring
// bytes, which go to a copy of the terminal's descriptor; a write already under way ends
// before ours starts, as a terminal takes one write at a time. Async-signal-safe.
int takeTheTerminal() {
    int terminal = dup(STDOUT_FILENO);
    int nowhere = open("/dev/null", O_WRONLY);
    if (terminal < 0 || nowhere < 0) return STDOUT_FILENO;
    dup2(nowhere, STDOUT_FILENO);
    return terminal;
}

void onSignal(int signal) {
    restoreTerminal(takeTheTerminal());
    // SA_RESETHAND has put back the default action; raising again ends the process the way
    // the signal would have, so the parent sees the usual status.
    std::raise(signal);
}

class SignalBlock {
public:
    SignalBlock() {
        sigset_t set;
        sigemptyset(&set);
        for (int s : HandledSignals) sigaddset(&set, s);
        sigprocmask(SIG_BLOCK, &set, &previous_);
    }
    ~SignalBlock() { sigprocmask(SIG_SETMASK, &previous_, nullptr); }

private:
    sigset_t previous_;
};

} // namespace

TerminalGuard::TerminalGuard() {
    SignalBlock block;
    saved = SavedState{};
    if (isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &saved.modes) == 0) {
        saved.haveTermios = true;
        // Keys typed during the show must not be echoed over it; a line typed ahead still
        // ends the final key wait, since canonical input stays on.
        termios quiet = saved.modes;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
    }
    if (isatty(STDOUT_FILENO) && ioctl(STDOUT_FILENO, TIOCGWINSZ, &saved.size) == 0 &&
        saved.size.ws_col > 0 && saved.size.ws_row > 0)
        saved.haveSize = true;
    struct sigaction action {};
    action.sa_handler = onSignal;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (int s : HandledSignals) sigaddset(&action.sa_mask, s);
    for (int s : HandledSignals) sigaction(s, &action, nullptr);
}

TerminalGuard::~TerminalGuard() {
    std::fflush(stdout);
    SignalBlock block;
    restoreTerminal(STDOUT_FILENO);
    struct sigaction defaults {};
    defaults.sa_handler = SIG_DFL;
    for (int s : HandledSignals) sigaction(s, &defaults, nullptr);
}

bool TerminalGuard::originalSize(winsize& size) {
    size = saved.size;
    return saved.haveSize;
}

void TerminalGuard::onRestore(Restore key, std::string_view undo) {
    SignalBlock block;
    for (int i = 0; i < saved.keyCount; ++i)
        if (saved.keys[i] == key) return;
    if (saved.keyCount == MaxKeys || saved.undoLength + undo.size() > MaxUndo) return;
    saved.keys[saved.keyCount++] = key;
    std::memcpy(saved.undo + saved.undoLength, undo.data(), undo.size());
    saved.undoLength += undo.size();
}

} // namespace veloria
