#include "pixels/terminal/TermQuery.h"

#include "console/TerminalAnswers.h"

#include <array>
#include <charconv>
#include <cstdlib>
#include <unistd.h>
#include <vector>

namespace veloria {
namespace {

// The device attribute that stands for sixel graphics.
constexpr int SixelAttribute = 4;

// Terminals known to show truecolour whatever COLORTERM says: TERM containing one of these.
constexpr std::array<std::string_view, 7> TrueColourTerms{
    "kitty", "alacritty", "foot", "wezterm", "contour", "direct", "truecolor",
};
// ... or TERM_PROGRAM being one of these (tmux passes truecolour on, or converts it).
constexpr std::array<std::string_view, 5> TrueColourPrograms{
    "tmux", "iTerm.app", "WezTerm", "vscode", "ghostty",
};

std::vector<int> numbers(std::string_view text) {
    std::vector<int> values;
    while (true) {
        std::size_t end = text.find(';');
        int value = 0;
        std::string_view field = text.substr(0, end);
        std::from_chars(field.data(), field.data() + field.size(), value);
        values.push_back(value);
        if (end == std::string_view::npos) return values;
        text.remove_prefix(end + 1);
    }
}

void readControlSequence(std::string_view parameters, char final, TerminalReplies& replies) {
    if (parameters.empty() || parameters.front() != '?') return;
    std::vector<int> values = numbers(parameters.substr(1));
    if (final == 'c') {
        replies.attributesSeen = true;
        // The first number is the terminal's class; the attributes follow.
        for (std::size_t i = 1; i < values.size(); ++i)
            if (values[i] == SixelAttribute) replies.sixelGraphics = true;
    } else if (final == 'S' && values.size() == 4 && values[0] == 2 && values[1] == 0 &&
               values[2] > 0 && values[3] > 0) {
        replies.graphicsLimit = GraphicsLimit{values[2], values[3]};
    }
}

void readKittyReply(std::string_view body, TerminalReplies& replies) {
    if (body == "Gi=31;OK") replies.kittyGraphics = true;
}

bool contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

TerminalEnvironment currentEnvironment() {
    TerminalEnvironment environment;
    auto variable = [](const char* name) {
        const char* value = std::getenv(name);
        return value ? std::optional<std::string>(value) : std::nullopt;
    };
    environment.outputIsTerminal = isatty(STDOUT_FILENO);
    environment.term = variable("TERM");
    environment.colorTerm = variable("COLORTERM").value_or("");
    environment.termProgram = variable("TERM_PROGRAM").value_or("");
    environment.vte = variable("VTE_VERSION").has_value();
    environment.insideTmux = variable("TMUX").has_value();
    environment.insideScreen = variable("STY").has_value();
    return environment;
}

} // namespace

TerminalReplies parseTerminalReplies(std::string_view received) {
    TerminalReplies replies;
    std::size_t at = 0;
    while ((at = received.find('\x1b', at)) != std::string_view::npos) {
        if (at + 1 >= received.size()) break;
        char kind = received[at + 1];
        if (kind == '[') {
            // CSI: parameter and intermediate bytes, then one final byte in @ ... ~.
            std::size_t end = at + 2;
            while (end < received.size() && (received[end] < 0x40 || received[end] > 0x7E) &&
                   received[end] != '\x1b')
                ++end;
            if (end >= received.size()) break; // the rest has not arrived yet
            if (received[end] != '\x1b')
                readControlSequence(received.substr(at + 2, end - at - 2), received[end], replies);
            at = end;
        } else if (kind == '_') {
            // APC, ended by ESC backslash.
            std::size_t end = received.find("\x1b\\", at + 2);
            if (end == std::string_view::npos) break;
            readKittyReply(received.substr(at + 2, end - at - 2), replies);
            at = end + 2;
        } else {
            at += 1;
        }
    }
    return replies;
}

std::string terminalQueries(const TerminalEnvironment& environment) {
    std::string queries(environment.insideTmux || environment.insideScreen ? "" : KittyQuery);
    return queries.append(SixelLimitQuery);
}

TerminalChoice chooseCanvas(const TerminalReplies& replies,
                            const TerminalEnvironment& environment) {
    TerminalChoice choice;
    if (!environment.outputIsTerminal || (environment.term && *environment.term == "dumb"))
        return choice;
    if (!environment.term && !replies.attributesSeen) return choice;
    if (replies.kittyGraphics) {
        choice.kind = CanvasKind::Kitty;
    } else if (replies.sixelGraphics) {
        choice.kind = CanvasKind::Sixel;
        if (replies.graphicsLimit) choice.sixelLimit = *replies.graphicsLimit;
    } else {
        std::string_view term = environment.term ? std::string_view(*environment.term) : "";
        bool trueColour = environment.colorTerm == "truecolor" ||
                          environment.colorTerm == "24bit" || environment.vte;
        for (std::string_view known : TrueColourTerms) trueColour |= contains(term, known);
        for (std::string_view known : TrueColourPrograms)
            trueColour |= environment.termProgram == known;
        choice.kind = trueColour && !environment.insideScreen ? CanvasKind::HalfBlocksTrueColour
                                                              : CanvasKind::HalfBlocks256;
    }
    return choice;
}

TerminalChoice detectTerminal() {
    TerminalEnvironment environment = currentEnvironment();
    if (!environment.outputIsTerminal || (environment.term && *environment.term == "dumb"))
        return {};
    return chooseCanvas(parseTerminalReplies(askTerminal(terminalQueries(environment))),
                        environment);
}

} // namespace veloria
