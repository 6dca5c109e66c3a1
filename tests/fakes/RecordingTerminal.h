// A terminal that keeps what is written to it, answers questions with set bytes, and keeps
// each setting's bytes as a real terminal's guard does: the first undo and the latest change.
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
    void change(Setting setting, std::string_view apply, std::string_view undo) override {
        written.append(apply);
        for (auto& kept : settings)
            if (kept.setting == setting) {
                kept.apply = apply;
                return;
            }
        settings.push_back({setting, std::string(apply), std::string(undo)});
    }
    void reportAfterRestore(std::string line) override { reports.push_back(std::move(line)); }
    unsigned continues() const override { return 0; }
    std::optional<TerminalGeometry> originalSize() const override { return startSize; }
    TerminalGeometry currentSize() const override { return startSize.value_or(TerminalGeometry{}); }
    void readKey() override { ++keysRead; }

    // The undo bytes in the order a restore writes them.
    std::string undo() const {
        std::string all;
        for (const auto& kept : settings) all += kept.undo;
        return all;
    }

    struct Kept {
        Setting setting;
        std::string apply, undo;
    };

    std::string written;
    std::vector<std::string> asked;
    std::string answers;
    std::vector<Kept> settings;
    std::vector<std::string> reports;
    std::optional<TerminalGeometry> startSize;
    int keysRead = 0;

private:
    TerminalDescription description_;
};

} // namespace veloria::testing
