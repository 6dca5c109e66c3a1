#include "show/CommandLine.h"

namespace veloria {
namespace {

Command mistake(std::string what) {
    return {Command::Action::Mistake, "", std::move(what)};
}

} // namespace

Command readCommandLine(const std::vector<std::string_view>& arguments) {
    if (arguments.empty()) return {};
    std::string_view first = arguments[0];
    Command command;
    std::size_t used = 1;
    if (first == "--help" || first == "-h") {
        command.action = Command::Action::Help;
    } else if (first == "--version") {
        command.action = Command::Action::Version;
    } else if (first == "--record") {
        if (arguments.size() < 2) return mistake("--record needs the name of the video file");
        command = {Command::Action::Record, std::string(arguments[1]), ""};
        used = 2;
    } else if (first.starts_with("--record=")) {
        command = {Command::Action::Record, std::string(first.substr(9)), ""};
    } else {
        return mistake("unknown argument '" + std::string(first) + "'");
    }
    if (command.action == Command::Action::Record && command.file.empty())
        return mistake("--record needs the name of the video file");
    if (arguments.size() > used)
        return mistake("unexpected argument '" + std::string(arguments[used]) + "'");
    return command;
}

std::string usageText() {
    return "Usage: veloria [--record FILE]\n"
           "An unattended audiovisual demo show in the old demoscene manner.\n"
           "\n"
           "With no arguments the show plays in this console, picture and sound, and waits\n"
           "for Enter at its end.\n"
           "\n"
           "  --record FILE  render the whole show, picture and sound, into a video file,\n"
           "                 as fast as the machine allows; the file's extension chooses\n"
           "                 the format: .mp4 (H.264 and AAC), .mkv (H.264 and AAC) or\n"
           "                 .webm (VP9 and Opus)\n"
           "  --help         show this help and exit\n"
           "  --version      show the version and exit\n";
}

} // namespace veloria
