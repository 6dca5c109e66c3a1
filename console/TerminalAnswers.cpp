#include "console/TerminalAnswers.h"

#include "console/WriteAll.h"

#include <cctype>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace veloria {
namespace {

constexpr int AnswerWaitMilliseconds = 300;

std::string readAnswers(int input) {
    std::string received;
    auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(AnswerWaitMilliseconds);
    while (!attributesAnswered(received)) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd ready{input, POLLIN, 0};
        if (poll(&ready, 1, static_cast<int>(left.count())) <= 0) break;
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
        writeAll(STDOUT_FILENO, questions);
        writeAll(STDOUT_FILENO, AttributesQuery);
        received = readAnswers(input);
        tcsetattr(input, TCSANOW, &saved);
    }
    if (input != STDIN_FILENO) ::close(input);
    return received;
}

bool attributesAnswered(std::string_view received) {
    // ESC [ ? then digits and semicolons, ended by c.
    for (std::size_t at = received.find("\x1b[?"); at != std::string_view::npos;
         at = received.find("\x1b[?", at + 1)) {
        std::size_t end = at + 3;
        while (end < received.size() &&
               (std::isdigit(static_cast<unsigned char>(received[end])) || received[end] == ';'))
            ++end;
        if (end < received.size() && received[end] == 'c') return true;
    }
    return false;
}

std::optional<std::string> reportedColour(std::string_view received, int which) {
    // ESC ] 10 ; rgb:R/G/B with one to four hex digits each, ended by BEL or ST. Nothing else
    // is accepted, since the colour is written back to the terminal.
    std::string start = "\x1b]" + std::to_string(which) + ";rgb:";
    std::size_t at = received.find(start);
    if (at == std::string_view::npos) return std::nullopt;
    std::string_view rest = received.substr(at + start.size());
    std::size_t length = 0;
    for (int part = 0; part < 3; ++part) {
        if (part > 0 && !rest.substr(length).starts_with('/')) return std::nullopt;
        std::size_t digits = part > 0 ? ++length : length;
        while (length < rest.size() && std::isxdigit(static_cast<unsigned char>(rest[length])))
            ++length;
        if (length == digits || length - digits > 4) return std::nullopt;
    }
    std::string_view after = rest.substr(length);
    if (!after.starts_with("\x07") && !after.starts_with("\x1b\\")) return std::nullopt;
    return "rgb:" + std::string(rest.substr(0, length));
}

} // namespace veloria
