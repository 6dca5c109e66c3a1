// The program's entry: the show in real time, or what the arguments ask for instead.
#include "record/RecordShow.h"
#include "show/CommandLine.h"
#include "show/RunOnThisMachine.h"

#include <cstdio>

int main(int argc, char** argv) {
    using veloria::Command;
    const Command command = veloria::readCommandLine({argv + 1, argv + argc});
    switch (command.action) {
    case Command::Action::Show: return veloria::runOnThisMachine(1);
    case Command::Action::Record: return veloria::recordShow(command.file);
    case Command::Action::Help: std::fputs(veloria::usageText().c_str(), stdout); return 0;
    case Command::Action::Version: std::puts("veloria " VELORIA_VERSION); return 0;
    case Command::Action::Mistake: break;
    }
    std::fprintf(stderr, "veloria: %s\nTry 'veloria --help' for more information.\n",
                 command.mistake.c_str());
    return 2;
}
