#include "terminal/AskTerminal.h"

#include "terminal/TerminalReplies.h"
#include "terminal/WriteAll.h"

#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace veloria {
namespace {

constexpr int AnswerWaitMilliseconds = 300;

// Bytes already waiting when questions are asked: a late answer to an earlier question (kept
// as an unfinished line while input was canonical) or keys typed without Enter. They are read
// and dropped, so that an old attributes answer cannot end the wait for the new one.
void setAsideWaiting(int input) {
    char buffer[256];
    pollfd ready{input, POLLIN, 0};
    while (poll(&ready, 1, 0) > 0 && ::read(input, buffer, sizeof buffer) > 0) {
    }
}

// Reads until the attributes answer is in or the wait is over. What has arrived is read even
// when this thread runs late, so a busy machine does not lose an answer that came in time.
std::string readAnswers(int input) {
    std::string received;
    auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(AnswerWaitMilliseconds);
    while (!parseTerminalReplies(received).attributesSeen) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd ready{input, POLLIN, 0};
        if (poll(&ready, 1, std::max(0, static_cast<int>(left.count()))) <= 0) break;
        char buffer[256];
        ssize_t n = ::read(input, buffer, sizeof buffer);
        if (n <= 0) break;
        received.append(buffer, static_cast<std::size_t>(n));
    }
    return received;
}

} // namespace

std::string askTerminal(std::string_view questions) {
    int input = isatty(STDIN_FILENO) ? STDIN_FILENO : ::open("/dev/tty", O_RDWR | O_NOCTTY);
    if (input < 0) return {};
    std::string received;
    int pending = 0;
    termios saved{};
    if (!(ioctl(input, FIONREAD, &pending) == 0 && pending > 0) && tcgetattr(input, &saved) == 0) {
        termios raw = saved;
        raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
        raw.c_cc[VMIN] = 0;
        raw.c_cc[VTIME] = 0;
        tcsetattr(input, TCSANOW, &raw);
        setAsideWaiting(input);
        writeAll(STDOUT_FILENO, questions);
        writeAll(STDOUT_FILENO, AttributesQuery);
        received = readAnswers(input);
        tcsetattr(input, TCSANOW, &saved);
    }
    if (input != STDIN_FILENO) ::close(input);
    return received;
}

} // namespace veloria
