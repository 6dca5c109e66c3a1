#include "show/CommandLine.h"

#include <gtest/gtest.h>

namespace veloria {
namespace {

using Action = Command::Action;

struct CommandCase {
    std::vector<std::string_view> arguments;
    Action action;
    std::string file;
    std::string mistake;
};

TEST(CommandLine, ReadsEachFormOfTheArguments) {
    const CommandCase cases[] = {
        {{}, Action::Show, "", ""},
        {{"--help"}, Action::Help, "", ""},
        {{"-h"}, Action::Help, "", ""},
        {{"--version"}, Action::Version, "", ""},
        {{"--record", "show.mp4"}, Action::Record, "show.mp4", ""},
        {{"--record=show.webm"}, Action::Record, "show.webm", ""},
        // A file name that looks like an option is still the file asked for.
        {{"--record", "--help"}, Action::Record, "--help", ""},
        {{"--record"}, Action::Mistake, "", "--record needs the name of the video file"},
        {{"--record="}, Action::Mistake, "", "--record needs the name of the video file"},
        {{"--recrod", "show.mp4"}, Action::Mistake, "", "unknown argument '--recrod'"},
        {{"show.mp4"}, Action::Mistake, "", "unknown argument 'show.mp4'"},
        {{"--help", "now"}, Action::Mistake, "", "unexpected argument 'now'"},
        {{"--record", "a.mp4", "b.mp4"}, Action::Mistake, "", "unexpected argument 'b.mp4'"},
    };
    for (const CommandCase& c : cases) {
        std::string shown;
        for (auto a : c.arguments) shown += std::string(a) + " ";
        SCOPED_TRACE(shown);
        Command command = readCommandLine(c.arguments);
        EXPECT_EQ(command.action, c.action);
        EXPECT_EQ(command.file, c.file);
        EXPECT_EQ(command.mistake, c.mistake);
    }
}

} // namespace
} // namespace veloria
