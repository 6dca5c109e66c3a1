#include "terminal/TerminalGuard.h"

#include <gtest/gtest.h>

#include <csignal>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace veloria {
namespace {

// How the guarded part of the program ends.
enum class Ending { Normally, Interrupted, Terminated, HungUp };

struct Outcome {
    std::string written; // what reached standard output
    int status = 0;      // as waitpid reports it
    bool echoAfter = false;
};

// Runs a guard in a child process whose standard input is a pseudo-terminal with echo on and
// whose standard output is a pipe; the child registers undos, writes, and ends as told.
Outcome runGuarded(Ending ending) {
    int master = -1, slave = -1;
    if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) return {};
    int out[2];
    if (pipe(out) != 0) return {};
    pid_t child = fork();
    if (child == 0) {
        dup2(slave, STDIN_FILENO);
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        {
            TerminalGuard guard;
            termios modes{};
            tcgetattr(STDIN_FILENO, &modes);
            if (modes.c_lflag & ECHO) _exit(3); // keys typed during the show would be echoed
            TerminalGuard::onRestore(Restore::Size, "<size 80x24>");
            TerminalGuard::onRestore(Restore::Colors, "<colours>");
            TerminalGuard::onRestore(Restore::Size, "<size 150x51>"); // the first one holds
            write(STDOUT_FILENO, "[show]", 6);
            if (ending == Ending::Interrupted) raise(SIGINT);
            if (ending == Ending::Terminated) raise(SIGTERM);
            if (ending == Ending::HungUp) raise(SIGHUP);
        }
        _exit(0);
    }
    close(out[1]);
    Outcome outcome;
    char buffer[256];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;)
        outcome.written.append(buffer, static_cast<std::size_t>(n));
    waitpid(child, &outcome.status, 0);
    termios modes{};
    tcgetattr(slave, &modes);
    outcome.echoAfter = modes.c_lflag & ECHO;
    close(out[0]);
    close(master);
    close(slave);
    return outcome;
}

TEST(TerminalGuard, PutsTheTerminalBackOnceWhicheverWayTheShowEnds) {
    const struct {
        Ending ending;
        int signal; // 0: a normal exit
        std::string written;
    } cases[] = {
        {Ending::Normally, 0, "[show]\x1b\\<size 80x24><colours>"},
        // A signal may cut a sequence short: ST (an ESC first) ends it before the undo.
        {Ending::Interrupted, SIGINT, "[show]\x1b\\<size 80x24><colours>"},
        {Ending::Terminated, SIGTERM, "[show]\x1b\\<size 80x24><colours>"},
        {Ending::HungUp, SIGHUP, "[show]\x1b\\<size 80x24><colours>"},
    };
    for (const auto& c : cases) {
        Outcome outcome = runGuarded(c.ending);
        EXPECT_EQ(outcome.written, c.written) << c.signal;
        EXPECT_TRUE(outcome.echoAfter) << c.signal;
        if (c.signal) {
            // The signal still ends the process, so its parent sees the usual status.
            ASSERT_TRUE(WIFSIGNALED(outcome.status)) << c.signal;
            EXPECT_EQ(WTERMSIG(outcome.status), c.signal);
        } else {
            ASSERT_TRUE(WIFEXITED(outcome.status));
            EXPECT_EQ(WEXITSTATUS(outcome.status), 0) << "3: echo stayed on under the guard";
        }
    }
}

} // namespace
} // namespace veloria
