// Console, music and clock fakes that record every call into a ShowLog; the clock keeps virtual
// time, so a test runs minutes of pauses in microseconds.
#pragma once

#include "console/Clock.h"
#include "console/Console.h"
#include "media/Music.h"
#include "tests/fakes/ShowLog.h"

#include <cstdio>
#include <string>

namespace veloria::testing {

class RecordingConsole final : public Console {
public:
    explicit RecordingConsole(ShowLog& log) : log_(log) {}
    void setInputCodePage(unsigned cp) override {
        log_.add("setInputCodePage", std::to_string(cp));
    }
    void setOutputCodePage(unsigned cp) override {
        log_.add("setOutputCodePage", std::to_string(cp));
    }
    void setSize(int columns, int lines) override {
        log_.add("setSize", std::to_string(columns) + "x" + std::to_string(lines));
    }
    void setColors(unsigned attribute) override {
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02X", attribute);
        log_.add("setColors", hex);
    }
    void write(std::string_view bytes) override { log_.add("write", std::string(bytes)); }
    void flush() override { log_.add("flush"); }
    void readKey() override { log_.add("readKey"); }

private:
    ShowLog& log_;
};

class RecordingMusic final : public Music {
public:
    explicit RecordingMusic(ShowLog& log) : log_(log) {}
    void play(std::string_view name) override { log_.add("playMusic", std::string(name)); }

private:
    ShowLog& log_;
};

class VirtualClock final : public Clock {
public:
    explicit VirtualClock(ShowLog& log) : log_(log) {}
    void Sleep(unsigned milliseconds) override {
        log_.add("Sleep", std::to_string(milliseconds));
        log_.nowMs += milliseconds;
    }

private:
    ShowLog& log_;
};

} // namespace veloria::testing
