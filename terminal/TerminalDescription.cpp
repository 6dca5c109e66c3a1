#include "terminal/TerminalDescription.h"

#include <array>
#include <cstdlib>
#include <string_view>

namespace veloria {
namespace {

// Terminals known to show truecolour whatever COLORTERM says: TERM containing one of these.
constexpr std::array<std::string_view, 7> TrueColourTerms{
    "kitty", "alacritty", "foot", "wezterm", "contour", "direct", "truecolor",
};
// ... or TERM_PROGRAM being one of these (tmux passes truecolour on, or converts it).
constexpr std::array<std::string_view, 5> TrueColourPrograms{
    "tmux", "iTerm.app", "WezTerm", "vscode", "ghostty",
};

bool showsTrueColour(const TerminalEnvironment& environment) {
    if (environment.colorTerm == "truecolor" || environment.colorTerm == "24bit" || environment.vte)
        return true;
    std::string_view term = environment.term ? std::string_view(*environment.term) : "";
    for (std::string_view known : TrueColourTerms)
        if (term.find(known) != std::string_view::npos) return true;
    for (std::string_view known : TrueColourPrograms)
        if (environment.termProgram == known) return true;
    return false;
}

} // namespace

TerminalEnvironment environmentVariables() {
    auto variable = [](const char* name) {
        const char* value = std::getenv(name);
        return value ? std::optional<std::string>(value) : std::nullopt;
    };
    TerminalEnvironment environment;
    environment.term = variable("TERM");
    environment.colorTerm = variable("COLORTERM").value_or("");
    environment.termProgram = variable("TERM_PROGRAM").value_or("");
    environment.vte = variable("VTE_VERSION").has_value();
    environment.insideTmux = variable("TMUX").has_value();
    environment.insideScreen = variable("STY").has_value();
    environment.mlterm = variable("MLTERM").has_value();
    return environment;
}

TerminalDescription describeTerminal(const TerminalEnvironment& environment) {
    TerminalDescription terminal;
    terminal.escapes =
        environment.outputIsTerminal && !(environment.term && *environment.term == "dumb");
    terminal.termNamed = environment.term.has_value();
    terminal.insideTmux = environment.insideTmux;
    terminal.insideScreen = environment.insideScreen;
    terminal.transparentSixel =
        !environment.mlterm && !(environment.term && environment.term->starts_with("mlterm"));
    // GNU screen shows no truecolour, whatever the terminal it runs in says.
    terminal.trueColour = showsTrueColour(environment) && !environment.insideScreen;
    terminal.charset = environment.charset;
    return terminal;
}

bool asksForTrueColour(const TerminalDescription& terminal) {
    return terminal.escapes && !terminal.trueColour && !terminal.insideScreen;
}

std::string graphicsQuestions(const TerminalDescription& terminal) {
    if (terminal.textConsole) return {};
    std::string questions(terminal.insideTmux || terminal.insideScreen ? "" : KittyQuery);
    return questions.append(SixelLimitQuery).append(CellSizeQuery);
}

CanvasChoice chooseCanvas(const TerminalDescription& terminal, const TerminalReplies& replies) {
    CanvasChoice choice;
    if (!terminal.escapes || (!terminal.termNamed && !replies.attributesSeen)) return choice;
    choice.cellSize = replies.cellSize;
    if (replies.kittyGraphics && !terminal.textConsole) {
        choice.kind = CanvasKind::Kitty;
        choice.sharedMemory = replies.kittySharedMemory;
    } else if (replies.sixelGraphics && !terminal.textConsole) {
        choice.kind = CanvasKind::Sixel;
        choice.sixelOverlays = terminal.transparentSixel;
        if (replies.graphicsLimit) choice.sixelLimit = *replies.graphicsLimit;
    } else {
        choice.kind =
            terminal.trueColour ? CanvasKind::HalfBlocksTrueColour : CanvasKind::HalfBlocks256;
    }
    return choice;
}

} // namespace veloria
