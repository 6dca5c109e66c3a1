// A terminal that keeps what is written to it, answers questions with set bytes, and keeps the
// undo bytes registered with it, the first per key as a real terminal's guard does.
#pragma once

#include "terminal/Terminal.h"

#include <string>
#include <utility>
#include <vector>

namespace veloria::testing {

class RecordingTerminal final : public Terminal {
public:
    explicit RecordingTerminal(TerminalDescription description)
        : description_(std::move(description)) {}

    const TerminalDescription& description() const override { return description_; }
    void write(std::string_view bytes) override { written.append(bytes); }
    std::string ask(std::string_view questions) override {
        asked.emplace_back(questions);
        return answers;
    }
    void onRestore(Restore key, std::string_view undo) override {
        for (const auto& registered : undos)
            if (registered.first == key) return;
        undos.emplace_back(key, std::string(undo));
    }
    void reportAfterRestore(std::string line) override { reports.push_back(std::move(line)); }
    std::optional<TerminalGeometry> originalSize() const override { return startSize; }
    TerminalGeometry currentSize() const override { return startSize.value_or(TerminalGeometry{}); }
    void readKey() override { ++keysRead; }

    // The undo bytes in the order a restore writes them.
    std::string undo() const {
        std::string all;
        for (const auto& registered : undos) all += registered.second;
        return all;
    }

    std::string written;
    std::vector<std::string> asked;
    std::string answers;
    std::vector<std::pair<Restore, std::string>> undos;
    std::vector<std::string> reports;
    std::optional<TerminalGeometry> startSize;
    int keysRead = 0;

private:
    TerminalDescription description_;
};

} // namespace veloria::testing
