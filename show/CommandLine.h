// What the program was asked to do, read from its arguments: the show (no arguments), a
// recording of it into a video file, the help or the version. Anything else is a mistake that
// is said in one line and ends the program with status 2.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace veloria {

struct Command {
    enum class Action { Show, Record, Help, Version, Mistake };
    Action action = Action::Show;
    std::string file;    // the video file of a recording
    std::string mistake; // what was wrong with the arguments, for the person to read
};

Command readCommandLine(const std::vector<std::string_view>& arguments);

// The text of --help.
std::string usageText();

} // namespace veloria
