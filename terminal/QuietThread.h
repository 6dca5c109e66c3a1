// A thread that takes none of the process's signals, so that the terminal's signal handlers
// (which undo and redo the show's changes) always run on the show's own thread.
#pragma once

#include <functional>
#include <thread>

namespace veloria {

std::thread startQuietThread(std::function<void()> work);

} // namespace veloria
