// The terminal on standard output of a POSIX process.
#include "terminal/AskTerminal.h"
#include "terminal/Terminal.h"
#include "terminal/TerminalGuard.h"
#include "terminal/WriteAll.h"

#include <clocale>
#include <cstdio>
#include <langinfo.h>
#include <sys/ioctl.h>
#include <unistd.h>
#include <vector>

namespace veloria {
namespace {

TerminalEnvironment readEnvironment() {
    TerminalEnvironment environment = environmentVariables();
    environment.outputIsTerminal = isatty(STDOUT_FILENO);
    std::setlocale(LC_ALL, "");
    environment.charset = nl_langinfo(CODESET);
    return environment;
}

TerminalGeometry geometryOf(const winsize& size) {
    return {size.ws_col, size.ws_row, size.ws_xpixel, size.ws_ypixel};
}

class StandardTerminal final : public Terminal {
public:
    StandardTerminal() : description_(describeTerminal(readEnvironment())) {
        if (asksForTrueColour(description_))
            description_.trueColour = parseTerminalReplies(askTerminal(TrueColourQuery)).trueColour;
    }
    ~StandardTerminal() override {
        guard_.reset();
        for (const std::string& line : reports_) std::fprintf(stderr, "%s\n", line.c_str());
    }

    const TerminalDescription& description() const override { return description_; }
    void write(std::string_view bytes) override { writeAll(STDOUT_FILENO, bytes); }
    std::string ask(std::string_view questions) override { return askTerminal(questions); }
    void change(Setting setting, std::string_view apply, std::string_view undo) override {
        // Kept first, so that a stop in between cannot leave the change without its undo.
        TerminalGuard::keep(setting, apply, undo);
        write(apply);
    }
    void reportAfterRestore(std::string line) override { reports_.push_back(std::move(line)); }
    unsigned continues() const override { return TerminalGuard::continues(); }

    std::optional<TerminalGeometry> originalSize() const override {
        winsize size{};
        if (!TerminalGuard::originalSize(size)) return std::nullopt;
        return geometryOf(size);
    }
    TerminalGeometry currentSize() const override {
        winsize size{};
        if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0) return {};
        return geometryOf(size);
    }

    void readKey() override { std::getchar(); }

private:
    std::optional<TerminalGuard> guard_{std::in_place};
    TerminalDescription description_;
    std::vector<std::string> reports_;
};

} // namespace

std::shared_ptr<Terminal> standardTerminal() {
    static std::weak_ptr<Terminal> shared;
    std::shared_ptr<Terminal> terminal = shared.lock();
    if (!terminal) {
        terminal = std::make_shared<StandardTerminal>();
        shared = terminal;
    }
    return terminal;
}

} // namespace veloria
