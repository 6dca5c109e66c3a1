// The questions the show asks a terminal, and reading its answers out of whatever came back
// (keys typed meanwhile included). Every set of questions ends with a request for the primary
// device attributes, which terminals answer in order and all of them answer: its answer means
// nothing else is coming.
#pragma once

#include "terminal/TerminalGeometry.h"

#include <optional>
#include <string>
#include <string_view>

namespace veloria {

inline constexpr std::string_view AttributesQuery = "\x1b[c";
// Whether the terminal takes kitty graphics: a 1 x 1 image it is asked to check, not show.
inline constexpr std::string_view KittyQuery = "\x1b_Gi=31,s=1,v=1,a=q,t=d,f=24;AAAA\x1b\\";
// Whether it also takes an image from a shared-memory object of this machine, here one 1 x 1
// image in the named object.
std::string kittySharedMemoryQuery(const std::string& objectName);
// The largest sixel image the terminal draws.
inline constexpr std::string_view SixelLimitQuery = "\x1b[?2;1S";
// The pixels of one character cell.
inline constexpr std::string_view CellSizeQuery = "\x1b[16t";
// Whether the terminal keeps a truecolour attribute as it was given: one is set, read back
// (DECRQSS) and reset. A terminal of fewer colours reports an indexed one, or nothing.
inline constexpr std::string_view TrueColourQuery = "\x1b[48;2;1;2;3m\x1bP$qm\x1b\\\x1b[0m";
// The terminal's default foreground and background colours.
inline constexpr std::string_view DefaultColoursQuery = "\x1b]10;?\x07\x1b]11;?\x07";

// The largest image the terminal draws (xterm's default is 1000 x 1000).
struct GraphicsLimit {
    int width = 1000;
    int height = 1000;
};

// What the terminal answered, as far as it has been read.
struct TerminalReplies {
    bool attributesSeen = false; // the device attributes came back: nothing else will
    bool kittyGraphics = false;
    bool kittySharedMemory = false; // it read the image of the shared-memory question
    bool sixelGraphics = false;
    std::optional<GraphicsLimit> graphicsLimit; // as the terminal reported it
    std::optional<CellSize> cellSize;
    bool trueColour = false; // the truecolour attribute came back as it was set
};

// Reads the answers in everything received so far; a sequence cut off at the end counts only
// once the rest has arrived.
TerminalReplies parseTerminalReplies(std::string_view received);

// The colour the terminal reported for OSC 10 (foreground) or 11 (background), as sent in
// its answer ("rgb:1616/c6c6/0c0c"), if the answer is there and well formed.
std::optional<std::string> reportedColour(std::string_view received, int which);

} // namespace veloria
