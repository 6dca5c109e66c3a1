// Asking the terminal on standard output and reading what it answers. Every question is
// followed by a request for the primary device attributes, which terminals answer in order,
// so their answer ends the wait; a terminal that answers nothing is waited for 300 ms. The
// terminal's input is read raw meanwhile and left as it was. Nothing is asked when a line was
// typed ahead, since reading the answers would swallow it before the final key wait.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace veloria {

inline constexpr std::string_view AttributesQuery = "\x1b[c";

// Writes the questions and the attributes request; returns everything received in answer
// (empty where nothing could be asked).
std::string askTerminal(std::string_view questions);

// Whether the received bytes hold a whole answer to the attributes request.
bool attributesAnswered(std::string_view received);

// The colour the terminal reported for OSC 10 (foreground) or 11 (background), as sent in
// its answer ("rgb:1616/c6c6/0c0c"), if the answer is there and well formed.
std::optional<std::string> reportedColour(std::string_view received, int which);

} // namespace veloria
