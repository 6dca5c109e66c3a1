// The console on Windows: the console API, and the command interpreter's "mode" and "color"
// commands. Bytes are written to the output handle unchanged, so they are shown in the
// console's output code page whatever the C runtime's locale.
#include "console/Console.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <windows.h>

namespace veloria {
namespace {

// Where "mode" is missing (Wine has no mode.com), the console API does the same: the window
// shrinks first so that the buffer may shrink beneath it, then both take the new size.
void resizeWithConsoleApi(int columns, int lines) {
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(out, &info)) return;
    SMALL_RECT window = info.srWindow;
    window.Right = static_cast<SHORT>(window.Left +
                                      std::min<int>(columns, window.Right - window.Left + 1) - 1);
    window.Bottom =
        static_cast<SHORT>(window.Top + std::min<int>(lines, window.Bottom - window.Top + 1) - 1);
    SetConsoleWindowInfo(out, TRUE, &window);
    SetConsoleScreenBufferSize(out, COORD{static_cast<SHORT>(columns), static_cast<SHORT>(lines)});
    SMALL_RECT full{0, 0, static_cast<SHORT>(columns - 1), static_cast<SHORT>(lines - 1)};
    SetConsoleWindowInfo(out, TRUE, &full);
}

bool hasModeCommand() {
    char path[MAX_PATH];
    return SearchPathA(nullptr, "mode.com", nullptr, MAX_PATH, path, nullptr) != 0;
}

class WindowsConsole final : public Console {
public:
    void setInputCodePage(unsigned codePage) override { SetConsoleCP(codePage); }
    void setOutputCodePage(unsigned codePage) override { SetConsoleOutputCP(codePage); }

    // Where "mode" is missing the command interpreter would print its complaint into the
    // show, so the console API does the resizing at once.
    void setSize(int columns, int lines) override {
        std::string command =
            "mode con cols=" + std::to_string(columns) + " lines=" + std::to_string(lines);
        if (!hasModeCommand() || std::system(command.c_str()) != 0)
            resizeWithConsoleApi(columns, lines);
    }

    void setColors(unsigned attribute) override {
        char command[16];
        std::snprintf(command, sizeof command, "color %02X", attribute & 0xFF);
        std::system(command);
    }

    void write(std::string_view bytes) override { pending_.append(bytes); }

    void flush() override {
        DWORD written = 0;
        if (!pending_.empty())
            WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), pending_.data(),
                      static_cast<DWORD>(pending_.size()), &written, nullptr);
        pending_.clear();
    }

    void readKey() override {
        flush();
        std::getchar();
    }

private:
    std::string pending_;
};

} // namespace

std::unique_ptr<Console> openConsole() {
    return std::make_unique<WindowsConsole>();
}

} // namespace veloria
