// Decides how the gallery is shown on this terminal. The terminal is asked once, through
// askTerminal (kitty graphics, except inside tmux or GNU screen, which take the kitty query for
// a window title and pass no kitty graphics on; and the sixel graphics limit). Kitty graphics
// if the terminal accepted the kitty query, sixel if its device attributes list sixel
// graphics, else half blocks in truecolour where the environment says so (never inside GNU
// screen), else in 256 colours; nothing at all when output is not a terminal, or a dumb one.
// Reading the answers is kept apart from the asking, so it can be checked on bytes.
#pragma once

#include "pixels/terminal/SixelCanvas.h"

#include <optional>
#include <string>
#include <string_view>

namespace veloria {

enum class CanvasKind { None, HalfBlocks256, HalfBlocksTrueColour, Sixel, Kitty };

struct TerminalChoice {
    CanvasKind kind = CanvasKind::None;
    GraphicsLimit sixelLimit; // for CanvasKind::Sixel
};

// What the terminal answered, as far as it has been read.
struct TerminalReplies {
    bool attributesSeen = false; // the device attributes came back: nothing else will
    bool kittyGraphics = false;
    bool sixelGraphics = false;
    std::optional<GraphicsLimit> graphicsLimit; // as the terminal reported it
};

// What the environment tells about the terminal.
struct TerminalEnvironment {
    bool outputIsTerminal = false;
    std::optional<std::string> term;
    std::string colorTerm;
    std::string termProgram;
    bool vte = false;          // VTE_VERSION set (GNOME Terminal and relatives)
    bool insideTmux = false;   // TMUX set
    bool insideScreen = false; // STY set: GNU screen, which shows no truecolour
};

// The bytes written to ask the terminal.
inline constexpr std::string_view KittyQuery = "\x1b_Gi=31,s=1,v=1,a=q,t=d,f=24;AAAA\x1b\\";
inline constexpr std::string_view SixelLimitQuery = "\x1b[?2;1S";
// The questions for this terminal (the device attributes are asked after them).
std::string terminalQueries(const TerminalEnvironment& environment);

// Reads the answers in everything received so far (with whatever else was typed among them).
TerminalReplies parseTerminalReplies(std::string_view received);

// The canvas for a terminal that answered so, in that environment.
TerminalChoice chooseCanvas(const TerminalReplies& replies, const TerminalEnvironment& environment);

// Asks the terminal on standard output and decides.
TerminalChoice detectTerminal();

} // namespace veloria
