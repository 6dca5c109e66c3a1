#include "terminal/TerminalGuard.h"

#include "terminal/RunningClock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace veloria {
namespace {

using namespace std::chrono_literals;

// What the guarded part of the child does after changing the terminal.
enum class Ending { Normally, Interrupted, Terminated, HungUp, Stopped };

// How long the parent keeps a stopped child stopped.
constexpr auto StopLength = 50ms;

// Child exit codes for what it finds wrong from inside.
constexpr int EchoStayedOn = 3, EchoStayedOnAfterTheContinue = 4, ContinueNotCounted = 5,
              StoppedTimeCounted = 6;

// A child process whose standard input is a pseudo-terminal with echo on and whose standard
// output is a pipe.
struct Child {
    pid_t pid = -1;
    int output = -1;
    int master = -1, slave = -1;

    bool echo() const {
        termios modes{};
        tcgetattr(slave, &modes);
        return modes.c_lflag & ECHO;
    }
    // What the child wrote and nobody read yet, without waiting for more.
    std::string pending() const {
        fcntl(output, F_SETFL, O_NONBLOCK);
        std::string written = readOutput();
        fcntl(output, F_SETFL, 0);
        return written;
    }
    // Everything the child writes until it ends, and how it ended.
    std::string rest(int& status) const {
        std::string written = readOutput();
        waitpid(pid, &status, 0);
        return written;
    }
    ~Child() {
        close(output);
        close(master);
        close(slave);
    }

private:
    std::string readOutput() const {
        std::string written;
        char buffer[256];
        for (ssize_t n; (n = read(output, buffer, sizeof buffer)) > 0;)
            written.append(buffer, static_cast<std::size_t>(n));
        return written;
    }
};

void changeTheTerminal() {
    TerminalGuard::keep(Setting::Size, "<size 150x51>", "<size 80x24>");
    TerminalGuard::keep(Setting::Colors, "<green>", "<colours>");
    // The first undo holds, and the latest change is the one made again.
    TerminalGuard::keep(Setting::Size, "<size 55x20>", "<size 150x51>");
    write(STDOUT_FILENO, "[show]", 6);
}

bool echoOn() {
    termios modes{};
    tcgetattr(STDIN_FILENO, &modes);
    return modes.c_lflag & ECHO;
}

// The guarded part of the child: changes the terminal, then ends as told.
[[noreturn]] void runGuarded(Ending ending) {
    // A group of its own, whose parent is outside it: the shell's place, so that a stop is
    // not discarded as in an orphaned group.
    setpgid(0, 0);
    {
        TerminalGuard guard;
        if (echoOn()) _exit(EchoStayedOn); // keys typed during the show would be echoed
        changeTheTerminal();
        if (ending == Ending::Interrupted) raise(SIGINT);
        if (ending == Ending::Terminated) raise(SIGTERM);
        if (ending == Ending::HungUp) raise(SIGHUP);
        if (ending == Ending::Stopped) {
            auto steadyBefore = std::chrono::steady_clock::now();
            auto runningBefore = RunningClock::now();
            raise(SIGTSTP); // returns once continued
            auto runningAfter = RunningClock::now();
            auto steadyAfter = std::chrono::steady_clock::now();
            if (echoOn()) _exit(EchoStayedOnAfterTheContinue);
            if (TerminalGuard::continues() != 1) _exit(ContinueNotCounted);
            if (runningAfter - runningBefore > steadyAfter - steadyBefore - StopLength)
                _exit(StoppedTimeCounted);
            write(STDOUT_FILENO, "[more]", 6);
        }
    }
    _exit(0);
}

void start(Child& child, Ending ending) {
    if (openpty(&child.master, &child.slave, nullptr, nullptr, nullptr) != 0) return;
    int out[2];
    if (pipe(out) != 0) return;
    child.pid = fork();
    if (child.pid == 0) {
        dup2(child.slave, STDIN_FILENO);
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        runGuarded(ending);
    }
    close(out[1]);
    child.output = out[0];
}

constexpr std::string_view Undo = "\x1b\\<size 80x24><colours>";

// Whether a process here stops for SIGTSTP's default action; under valgrind it does not.
bool processesStop() {
    pid_t child = fork();
    if (child == 0) {
        setpgid(0, 0);
        raise(SIGTSTP);
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, WUNTRACED);
    if (!WIFSTOPPED(status)) return false;
    kill(child, SIGCONT);
    waitpid(child, &status, 0);
    return true;
}

TEST(TerminalGuard, PutsTheTerminalBackOnceWhicheverWayTheShowEnds) {
    const struct {
        Ending ending;
        int signal; // 0: a normal exit
    } cases[] = {
        {Ending::Normally, 0},
        // A signal may cut a sequence short: ST (an ESC first) ends it before the undo.
        {Ending::Interrupted, SIGINT},
        {Ending::Terminated, SIGTERM},
        {Ending::HungUp, SIGHUP},
    };
    for (const auto& c : cases) {
        Child child;
        start(child, c.ending);
        int status = 0;
        EXPECT_EQ(child.rest(status), "[show]" + std::string(Undo)) << c.signal;
        EXPECT_TRUE(child.echo()) << c.signal;
        if (c.signal) {
            // The signal still ends the process, so its parent sees the usual status.
            ASSERT_TRUE(WIFSIGNALED(status)) << c.signal;
            EXPECT_EQ(WTERMSIG(status), c.signal);
        } else {
            ASSERT_TRUE(WIFEXITED(status));
            EXPECT_EQ(WEXITSTATUS(status), 0) << "3: echo stayed on under the guard";
        }
    }
}

// Ctrl-Z: the terminal is the user's while the show is stopped, and the show's again after
// fg. A stopped show may also be ended instead (kill %1 sends SIGTERM and SIGCONT).
TEST(TerminalGuard, HandsTheTerminalBackForAStopAndTakesItAgainAfter) {
    const struct {
        const char* name;
        int endingSignal; // sent before the continue; 0: none
        std::string rest; // written after the continue
    } cases[] = {
        {"continued", 0, "<size 55x20><green>[more]" + std::string(Undo)},
        {"ended while stopped", SIGTERM, "<size 55x20><green>" + std::string(Undo)},
    };
    if (!processesStop()) GTEST_SKIP() << "SIGTSTP does not stop a process here";
    for (const auto& c : cases) {
        Child child;
        start(child, Ending::Stopped);
        int status = 0;
        waitpid(child.pid, &status, WUNTRACED);
        // Stopped the usual way, so the shell's job control sees it so.
        ASSERT_TRUE(WIFSTOPPED(status)) << c.name;
        EXPECT_EQ(WSTOPSIG(status), SIGTSTP) << c.name;
        EXPECT_EQ(child.pending(), "[show]" + std::string(Undo)) << c.name;
        EXPECT_TRUE(child.echo()) << c.name;

        std::this_thread::sleep_for(StopLength);
        if (c.endingSignal) kill(child.pid, c.endingSignal);
        kill(child.pid, SIGCONT);
        EXPECT_EQ(child.rest(status), c.rest) << c.name;
        EXPECT_TRUE(child.echo()) << c.name;
        if (c.endingSignal) {
            ASSERT_TRUE(WIFSIGNALED(status)) << c.name;
            EXPECT_EQ(WTERMSIG(status), c.endingSignal) << c.name;
        } else {
            ASSERT_TRUE(WIFEXITED(status)) << c.name;
            EXPECT_EQ(WEXITSTATUS(status), 0)
                << "4: echo stayed on after the continue, 5: the continue was not counted, "
                   "6: the stopped time counted on the running clock";
        }
    }
}

} // namespace
} // namespace veloria
