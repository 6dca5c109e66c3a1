// One description of the terminal on standard output, which the console text and the gallery
// both go by: whether it takes escape sequences at all, whether it runs inside tmux or GNU
// screen, whether it shows truecolour, and the charset it shows text in. Made from the
// environment alone; how the gallery is drawn is then chosen from the terminal's answers.
#pragma once

#include "terminal/TerminalReplies.h"

#include <optional>
#include <string>

namespace veloria {

// What the environment tells about the terminal.
struct TerminalEnvironment {
    bool outputIsTerminal = false;
    std::optional<std::string> term;
    std::string colorTerm;
    std::string termProgram;
    bool vte = false;          // VTE_VERSION set (GNOME Terminal and relatives)
    bool insideTmux = false;   // TMUX set
    bool insideScreen = false; // STY set: GNU screen
    bool mlterm = false;       // MLTERM set
    std::string charset{};     // the locale's ("UTF-8", "ANSI_X3.4-1968")
};

struct TerminalDescription {
    bool escapes = false;      // a terminal (not a file, not a dumb one) that takes sequences
    bool termNamed = false;    // TERM is set
    bool insideTmux = false;   // tmux passes no kitty graphics and takes its query for a title
    bool insideScreen = false; // GNU screen also mangles truecolour and the colour resets
    bool trueColour = false;   // 24-bit colours are shown as they are
    // Pixels a sixel image leaves out stay as they were on the screen (its background
    // transparent); mlterm paints them black instead.
    bool transparentSixel = true;
    // A console between the show and the terminal takes sequences as text (Wine's, run inside
    // a terminal): only sequences shorter than its lines pass whole, so pictures go as cells.
    bool textConsole = false;
    std::string charset;
};

// The variables above as this process's environment has them; whether output is a terminal
// and the charset are the platform's to tell.
TerminalEnvironment environmentVariables();

TerminalDescription describeTerminal(const TerminalEnvironment& environment);

// How the gallery is shown.
enum class CanvasKind { None, HalfBlocks256, HalfBlocksTrueColour, Sixel, Kitty };

// Whether to ask the terminal if it shows truecolour: where the environment does not say so,
// and the terminal does not run inside GNU screen, which shows none whatever is behind it.
bool asksForTrueColour(const TerminalDescription& terminal);

struct CanvasChoice {
    CanvasKind kind = CanvasKind::None;
    GraphicsLimit sixelLimit;         // for CanvasKind::Sixel
    bool sixelOverlays = true;        // for CanvasKind::Sixel: changes drawn over the image
    bool sharedMemory = false;        // for CanvasKind::Kitty: frames go through shared memory
    std::optional<CellSize> cellSize; // as the terminal reported it
};

// The questions that find the terminal's graphics: kitty graphics (not inside tmux or GNU
// screen), the sixel limit and the cell size; none behind a text console. The device
// attributes, which tell sixel, are asked after them. Whether a kitty terminal also takes
// pictures through shared memory is asked afterwards, of it alone (kittySharedMemoryQuery).
std::string graphicsQuestions(const TerminalDescription& terminal);

// Kitty graphics if the terminal accepted the kitty query, sixel if its device attributes list
// sixel graphics (neither behind a text console), else half blocks in truecolour where the terminal shows it, else in 256
// colours; nothing at all where escapes are not taken, or where TERM is unset and the
// terminal did not answer.
CanvasChoice chooseCanvas(const TerminalDescription& terminal, const TerminalReplies& replies);

} // namespace veloria
