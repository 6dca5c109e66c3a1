#include "terminal/AskTerminal.h"

#include "terminal/TerminalReplies.h"

#include <gtest/gtest.h>

#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

namespace veloria {
namespace {

// The show asks on a pseudo-terminal whose far side holds `waiting` unread (sent before the
// question) and answers the device attributes request with `answer`. Returns what the show
// received, as the child that asked saw it.
std::string askWith(std::string_view waiting, std::string_view answer) {
    int master = -1, slave = -1;
    if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) return "no pty";
    int result[2];
    if (pipe(result) != 0) return "no pipe";
    if (!waiting.empty() && write(master, waiting.data(), waiting.size()) < 0) return "no write";
    pid_t child = fork();
    if (child == 0) {
        dup2(slave, STDIN_FILENO);
        dup2(slave, STDOUT_FILENO);
        std::string received = askTerminal(SixelLimitQuery);
        if (write(result[1], received.data(), received.size()) < 0) _exit(1);
        _exit(0);
    }
    close(result[1]);
    // The terminal's side: wait for the attributes request, then answer it.
    std::string asked;
    char buffer[256];
    while (asked.find(AttributesQuery) == std::string::npos) {
        ssize_t n = read(master, buffer, sizeof buffer);
        if (n <= 0) break;
        asked.append(buffer, static_cast<std::size_t>(n));
    }
    if (write(master, answer.data(), answer.size()) < 0) return "no answer";
    std::string received;
    for (ssize_t n; (n = read(result[0], buffer, sizeof buffer)) > 0;)
        received.append(buffer, static_cast<std::size_t>(n));
    waitpid(child, nullptr, 0);
    close(result[0]);
    close(master);
    close(slave);
    return received;
}

TEST(AskTerminal, AnOldAnswerStillWaitingDoesNotEndTheWaitForTheNewOne) {
    // The colour question's answer came late, after its wait was over, and is still unread.
    std::string received =
        askWith("\x1b]11;rgb:0000/0000/0000\x07\x1b[?62;22c", "\x1b[?2;0;800;600S\x1b[?62;4c");
    TerminalReplies replies = parseTerminalReplies(received);
    EXPECT_TRUE(replies.attributesSeen);
    EXPECT_TRUE(replies.sixelGraphics) << testing::PrintToString(received);
    ASSERT_TRUE(replies.graphicsLimit);
    EXPECT_EQ(replies.graphicsLimit->width, 800);
}

} // namespace
} // namespace veloria
