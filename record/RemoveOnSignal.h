// Removes a file if the process is ended by SIGINT, SIGTERM or SIGHUP while this object lives,
// then lets the signal end the process as it would have: an interrupted recording leaves no
// partial file behind.
#pragma once

#include <string>

namespace veloria {

class RemoveOnSignal {
public:
    explicit RemoveOnSignal(const std::string& path);
    ~RemoveOnSignal();
    RemoveOnSignal(const RemoveOnSignal&) = delete;
    RemoveOnSignal& operator=(const RemoveOnSignal&) = delete;
};

} // namespace veloria
