// Asking the terminal on standard output and reading what it answers. The questions are
// followed by the device attributes request, whose answer ends the wait; a terminal that
// answers nothing is waited for 300 ms. The terminal's input is read raw meanwhile and left
// as it was. Nothing is asked when a line was typed ahead, since reading the answers would
// swallow it before the final key wait.
#pragma once

#include <string>
#include <string_view>

namespace veloria {

// Writes the questions and the attributes request; returns everything received in answer
// (empty where nothing could be asked).
std::string askTerminal(std::string_view questions);

} // namespace veloria
