// The error of a recording that cannot go on: its message says plainly to the person what could
// not be done and why.
#pragma once

#include <stdexcept>

namespace veloria {

class RecordError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace veloria
