#include "terminal/TerminalGuard.h"

#include "terminal/RunningClock.h"
#include "terminal/WriteAll.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace veloria {
namespace {

// Everything here is read by the signal handlers, so it is plain static data, changed only
// while the guarded signals are blocked.
constexpr int EndingSignals[] = {SIGINT, SIGTERM, SIGHUP};
constexpr int GuardedSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGTSTP};
constexpr std::size_t MaxBytes = 256;
constexpr int Settings = static_cast<int>(Setting::Cursor) + 1; // the last setting

struct Bytes {
    char data[MaxBytes]{};
    std::size_t length = 0;

    std::string_view view() const { return {data, length}; }
    void set(std::string_view bytes) {
        std::memcpy(data, bytes.data(), bytes.size());
        length = bytes.size();
    }
};

struct Kept {
    Setting setting{};
    Bytes apply, undo;
};

struct SavedState {
    bool haveTermios = false;
    termios modes{};
    bool haveSize = false;
    winsize size{};
    Kept kept[Settings]{};
    int keptCount = 0;
    bool restored = false;
};
SavedState saved;

std::atomic<unsigned> continueCount{0};
static_assert(std::atomic<unsigned>::is_always_lock_free, "changed from a signal handler");

// The show's modes: keys typed during the show must not be echoed over it; a line typed
// ahead still ends the final key wait, since canonical input stays on.
termios quietModes() {
    termios quiet = saved.modes;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    return quiet;
}

// Writes the undo bytes and puts back the modes the show found. Async-signal-safe: only
// write(2) and tcsetattr(3).
void putBack(int terminal) {
    bool anyUndo = false;
    for (int i = 0; i < saved.keptCount; ++i) anyUndo = anyUndo || saved.kept[i].undo.length;
    if (anyUndo) {
        // A signal may cut a sequence or a picture short: ESC abandons an escape sequence in
        // progress and, as ST, ends a graphics string, so the undo bytes are read as such. A
        // terminal in its ground state ignores a lone ST, where some draw CAN as a glyph.
        writeAll(terminal, "\x1b\\");
        for (int i = 0; i < saved.keptCount; ++i) writeAll(terminal, saved.kept[i].undo.view());
    }
    if (saved.haveTermios) tcsetattr(STDIN_FILENO, TCSANOW, &saved.modes);
}

// Makes the show's changes again after a stop. The modes come first: in the background
// (continued by bg) setting them stops the process until it is in the foreground again.
// Async-signal-safe.
void takeBack(int terminal) {
    if (saved.haveTermios) {
        termios quiet = quietModes();
        tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
    }
    for (int i = 0; i < saved.keptCount; ++i) writeAll(terminal, saved.kept[i].apply.view());
}

// The picture presenter may still be writing from its own thread when a signal comes. From
// here on standard output leads nowhere, so none of its writes can follow the restoring
// bytes, which go to a copy of the terminal's descriptor; a write already under way ends
// before ours starts, as a terminal takes one write at a time. Async-signal-safe.
int takeTheTerminal() {
    int terminal = dup(STDOUT_FILENO);
    if (terminal < 0) return STDOUT_FILENO;
    int nowhere = open("/dev/null", O_WRONLY);
    if (nowhere < 0) {
        close(terminal);
        return STDOUT_FILENO;
    }
    dup2(nowhere, STDOUT_FILENO);
    close(nowhere);
    return terminal;
}

// Standard output leads to the terminal again. Async-signal-safe.
void giveBackTheTerminal(int terminal) {
    if (terminal == STDOUT_FILENO) return;
    dup2(terminal, STDOUT_FILENO);
    close(terminal);
}

// The restore at the end, done once. Async-signal-safe.
void restoreForGood(int terminal) {
    if (saved.restored) return;
    saved.restored = true;
    putBack(terminal);
}

void onEnd(int signal) {
    restoreForGood(takeTheTerminal());
    // SA_RESETHAND has put back the default action; raising again ends the process the way
    // the signal would have, so the parent sees the usual status.
    std::raise(signal);
}

// Stops the process the way SIGTSTP does by default, so that the shell sees its job stopped
// by it; returns once the process is continued. Async-signal-safe.
void stopAsUsual() {
    struct sigaction usual {};
    struct sigaction ours {};
    usual.sa_handler = SIG_DFL;
    sigemptyset(&usual.sa_mask);
    sigaction(SIGTSTP, &usual, &ours);
    // Raised while blocked, it is taken once when unblocked, even if another Ctrl-Z came
    // meanwhile.
    std::raise(SIGTSTP);
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGTSTP);
    sigprocmask(SIG_UNBLOCK, &stop, nullptr);
    sigprocmask(SIG_BLOCK, &stop, nullptr);
    sigaction(SIGTSTP, &ours, nullptr);
}

void onStop(int) {
    int callersErrno = errno;
    int terminal = takeTheTerminal();
    putBack(terminal);
    RunningClock::stopped();
    stopAsUsual();
    takeBack(terminal);
    giveBackTheTerminal(terminal);
    // Counted once the picture can be drawn again, so that what follows reaches the screen.
    continueCount.fetch_add(1);
    RunningClock::continued();
    errno = callersErrno;
}

class SignalBlock {
public:
    SignalBlock() {
        sigset_t set;
        sigemptyset(&set);
        for (int s : GuardedSignals) sigaddset(&set, s);
        sigprocmask(SIG_BLOCK, &set, &previous_);
    }
    ~SignalBlock() { sigprocmask(SIG_SETMASK, &previous_, nullptr); }

private:
    sigset_t previous_;
};

void handle(int signal, void (*handler)(int), int flags) {
    struct sigaction action {};
    action.sa_handler = handler;
    action.sa_flags = flags;
    // One handler at a time: each blocks the others.
    sigemptyset(&action.sa_mask);
    for (int s : GuardedSignals) sigaddset(&action.sa_mask, s);
    sigaction(signal, &action, nullptr);
}

} // namespace

TerminalGuard::TerminalGuard() {
    SignalBlock block;
    saved = SavedState{};
    if (isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &saved.modes) == 0) {
        saved.haveTermios = true;
        termios quiet = quietModes();
        tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
    }
    if (isatty(STDOUT_FILENO) && ioctl(STDOUT_FILENO, TIOCGWINSZ, &saved.size) == 0 &&
        saved.size.ws_col > 0 && saved.size.ws_row > 0)
        saved.haveSize = true;
    for (int s : EndingSignals) handle(s, onEnd, SA_RESETHAND);
    // A stop can come during the final key wait, whose read goes on after the continue.
    handle(SIGTSTP, onStop, SA_RESTART);
}

TerminalGuard::~TerminalGuard() {
    std::fflush(stdout);
    SignalBlock block;
    restoreForGood(STDOUT_FILENO);
    for (int s : GuardedSignals) handle(s, SIG_DFL, 0);
}

bool TerminalGuard::originalSize(winsize& size) {
    size = saved.size;
    return saved.haveSize;
}

void TerminalGuard::keep(Setting setting, std::string_view apply, std::string_view undo) {
    if (apply.size() > MaxBytes || undo.size() > MaxBytes) return;
    SignalBlock block;
    for (int i = 0; i < saved.keptCount; ++i)
        if (saved.kept[i].setting == setting) {
            saved.kept[i].apply.set(apply);
            return;
        }
    Kept& kept = saved.kept[saved.keptCount];
    kept.setting = setting;
    kept.apply.set(apply);
    kept.undo.set(undo);
    ++saved.keptCount;
}

unsigned TerminalGuard::continues() {
    return continueCount.load();
}

} // namespace veloria
