// A single log of every platform call the show makes, in order, shared by the recording
// fakes, with the virtual time at which each call happened.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace veloria::testing {

struct LoggedCall {
    std::string call;      // e.g. "write", "Sleep", "setSize"
    std::string argument;  // e.g. the bytes written, "150x51", "1251"
    std::int64_t atMs = 0; // virtual time of the call
};

class ShowLog {
public:
    void add(std::string call, std::string argument = {}) {
        endRun();
        calls.push_back({std::move(call), std::move(argument), nowMs});
    }
    // Counts one more of a call made millions of times in a row (SetPixel); the run is
    // logged as a single entry with its count when any other call comes.
    void addToRun(const char* call) {
        if (runCall_ != call) endRun();
        runCall_ = call;
        ++runLength_;
    }
    void endRun() {
        if (runLength_) calls.push_back({runCall_, std::to_string(runLength_), nowMs});
        runLength_ = 0;
    }
    // The calls other than writes, flushes and pauses, as "call argument" strings: the
    // control calls whose order a test checks.
    std::vector<std::string> controlCalls() const {
        std::vector<std::string> out;
        for (const auto& c : calls)
            if (c.call != "write" && c.call != "flush" && c.call != "Sleep")
                out.push_back(c.argument.empty() ? c.call : c.call + " " + c.argument);
        return out;
    }
    std::string written() const {
        std::string out;
        for (const auto& c : calls)
            if (c.call == "write") out += c.argument;
        return out;
    }

    std::vector<LoggedCall> calls;
    std::int64_t nowMs = 0;

private:
    std::string runCall_;
    std::uint64_t runLength_ = 0;
};

} // namespace veloria::testing
