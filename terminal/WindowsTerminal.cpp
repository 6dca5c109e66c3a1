// The console on standard output of a Windows process, as a terminal, for consoles whose text
// is drawn by a terminal rather than in a window of their own: Windows Terminal and the other
// pseudo consoles, and Wine's console run inside a terminal. Virtual terminal processing and
// UTF-8 output are switched on while it lives; the modes, the code page and the settings the
// show changed are put back when it ends, on Ctrl+C, Ctrl+Break and when the console closes.
#include "terminal/ConsoleKeyText.h"
#include "terminal/CutAtCursorMoves.h"
#include "terminal/Terminal.h"

#include <chrono>
#include <cstdio>
#include <mutex>
#include <vector>
#include <windows.h>

namespace veloria {
namespace {

constexpr DWORD AnswerWaitMilliseconds = 300;
// The line width Wine's console is given while sequences pass through it as text: room for
// the longest stretch of output between two cursor positions.
constexpr SHORT TextConsoleLineWidth = 32000;

TerminalEnvironment readEnvironment(bool takesSequences) {
    TerminalEnvironment environment = environmentVariables();
    environment.outputIsTerminal = takesSequences;
    // Windows' own console hosts, which set no TERM, all show 24-bit colours: every one that
    // takes escape sequences at all does (conhost since Windows 10 1703, Windows Terminal).
    if (!environment.term && environment.colorTerm.empty()) environment.colorTerm = "truecolor";
    environment.charset = "UTF-8";
    return environment;
}

TerminalGeometry sizeOf(const CONSOLE_SCREEN_BUFFER_INFO& info) {
    return {info.srWindow.Right - info.srWindow.Left + 1, info.srWindow.Bottom - info.srWindow.Top + 1,
            0, 0};
}

class WindowsTerminal;
std::mutex liveMutex;
WindowsTerminal* live = nullptr;
BOOL WINAPI onConsoleEvent(DWORD event);

class WindowsTerminal final : public Terminal {
public:
    WindowsTerminal()
        : out_(GetStdHandle(STD_OUTPUT_HANDLE)), in_(GetStdHandle(STD_INPUT_HANDLE)) {
        bool takesSequences = switchSequencesOn();
        description_ = describeTerminal(readEnvironment(takesSequences));
        if (takesSequences) {
            textConsole_ = takesSequencesAsText();
            if (textConsole_) startTextConsole();
            description_.textConsole = textConsole_;
            if (asksForTrueColour(description_))
                description_.trueColour = parseTerminalReplies(ask(TrueColourQuery)).trueColour;
        }
        std::lock_guard lock(liveMutex);
        live = this;
        SetConsoleCtrlHandler(onConsoleEvent, TRUE);
    }

    ~WindowsTerminal() override {
        {
            std::lock_guard lock(liveMutex);
            putBack();
            live = nullptr;
        }
        SetConsoleCtrlHandler(onConsoleEvent, FALSE);
        for (const std::string& line : reports_) std::fprintf(stderr, "%s\n", line.c_str());
    }

    // Undoes the show's changes and puts back the console's modes and code page, once.
    void putBack() {
        std::lock_guard lock(writing_);
        if (putBack_) return;
        for (const auto& kept : kept_) writeNow(kept.undo);
        putBack_ = true;
        if (textConsole_) {
            SetConsoleScreenBufferSize(out_, original_.dwSize);
            SetConsoleCursorInfo(out_, &cursor_);
        }
        if (haveModes_) {
            SetConsoleMode(out_, outputMode_);
            SetConsoleMode(in_, inputMode_);
            SetConsoleOutputCP(outputCodePage_);
        }
    }

    const TerminalDescription& description() const override { return description_; }

    void write(std::string_view bytes) override {
        std::lock_guard lock(writing_);
        if (!putBack_) writeNow(bytes);
    }

    std::string ask(std::string_view questions) override {
        if (!description_.escapes || keysWaiting()) return {};
        SetConsoleMode(in_, ENABLE_VIRTUAL_TERMINAL_INPUT | (inputMode_ & ENABLE_PROCESSED_INPUT));
        write(std::string(questions).append(AttributesQuery));
        std::vector<ConsoleKey> keys;
        std::string received;
        auto deadline = std::chrono::steady_clock::now() +
                        std::chrono::milliseconds(AnswerWaitMilliseconds);
        while (!parseTerminalReplies(received).attributesSeen) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() < 0 ||
                WaitForSingleObject(in_, static_cast<DWORD>(left.count())) != WAIT_OBJECT_0)
                break;
            INPUT_RECORD records[64];
            DWORD count = 0;
            if (!ReadConsoleInputW(in_, records, 64, &count)) break;
            for (DWORD i = 0; i < count; ++i) {
                if (records[i].EventType != KEY_EVENT) continue;
                const KEY_EVENT_RECORD& key = records[i].Event.KeyEvent;
                bool alt = key.dwControlKeyState & (LEFT_ALT_PRESSED | RIGHT_ALT_PRESSED);
                for (WORD n = 0; n < std::max<WORD>(key.wRepeatCount, 1); ++n)
                    keys.push_back({static_cast<char16_t>(key.uChar.UnicodeChar),
                                    key.bKeyDown != 0, alt});
            }
            received = textOfKeys(keys);
        }
        SetConsoleMode(in_, showInputMode_);
        return received;
    }

    void change(Setting setting, std::string_view apply, std::string_view undo) override {
        {
            std::lock_guard lock(writing_);
            bool known = false;
            for (const auto& kept : kept_) known = known || kept.setting == setting;
            if (!known) kept_.push_back({setting, std::string(undo)});
        }
        write(apply);
    }

    unsigned continues() const override { return 0; }
    void reportAfterRestore(std::string line) override { reports_.push_back(std::move(line)); }
    std::optional<TerminalGeometry> originalSize() const override { return originalSize_; }
    TerminalGeometry currentSize() const override {
        CONSOLE_SCREEN_BUFFER_INFO info;
        return GetConsoleScreenBufferInfo(out_, &info) ? sizeOf(info) : TerminalGeometry{};
    }
    void readKey() override { std::getchar(); }

private:
    struct Kept {
        Setting setting;
        std::string undo;
    };

    bool switchSequencesOn() {
        if (!GetConsoleMode(out_, &outputMode_) || !GetConsoleMode(in_, &inputMode_) ||
            !GetConsoleScreenBufferInfo(out_, &original_))
            return false;
        originalSize_ = sizeOf(original_);
        if (!SetConsoleMode(out_, outputMode_ | ENABLE_PROCESSED_OUTPUT |
                                      ENABLE_VIRTUAL_TERMINAL_PROCESSING))
            return false;
        haveModes_ = true;
        // Keys typed during the gallery are not echoed over the picture; a line still ends
        // the final key wait.
        showInputMode_ = inputMode_ & ~static_cast<DWORD>(ENABLE_ECHO_INPUT);
        SetConsoleMode(in_, showInputMode_);
        outputCodePage_ = GetConsoleOutputCP();
        SetConsoleOutputCP(CP_UTF8);
        return true;
    }

    // A console that interprets sequences leaves its cursor where it was after one that moves
    // nothing; one that takes them as text moves it on.
    bool takesSequencesAsText() {
        CONSOLE_SCREEN_BUFFER_INFO before, after;
        GetConsoleScreenBufferInfo(out_, &before);
        writeWhole("\x1b[0m");
        GetConsoleScreenBufferInfo(out_, &after);
        return after.dwCursorPosition.X != before.dwCursorPosition.X ||
               after.dwCursorPosition.Y != before.dwCursorPosition.Y;
    }

    // Output then goes, piece by piece, into the console's last line, made wide enough for the
    // longest piece; the console's own cursor is hidden, as it would show it after every piece.
    void startTextConsole() {
        GetConsoleCursorInfo(out_, &cursor_);
        CONSOLE_CURSOR_INFO hidden = cursor_;
        hidden.bVisible = FALSE;
        SetConsoleCursorInfo(out_, &hidden);
        lineWidth_ = TextConsoleLineWidth;
        SetConsoleScreenBufferSize(out_, COORD{lineWidth_, original_.dwSize.Y});
        startLine();
    }

    void startLine() {
        SetConsoleCursorPosition(out_, COORD{0, static_cast<SHORT>(original_.dwSize.Y - 1)});
        column_ = 0;
    }

    void writeNow(std::string_view bytes) {
        if (!textConsole_) return writeWhole(bytes);
        while (!bytes.empty()) {
            std::size_t length = pieceLength(bytes, static_cast<std::size_t>(lineWidth_) - column_);
            if (length == 0 && column_ > 0) {
                startLine();
                continue;
            }
            // A stretch longer than a line with no cursor position in it goes whole; it wraps.
            if (length == 0) length = bytes.size();
            writeWhole(bytes.substr(0, length));
            column_ += cellsOf(bytes.substr(0, length));
            bytes.remove_prefix(length);
        }
    }

    void writeWhole(std::string_view bytes) {
        while (!bytes.empty()) {
            DWORD written = 0;
            if (!WriteFile(out_, bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                           nullptr) ||
                written == 0)
                return;
            bytes.remove_prefix(written);
        }
    }

    // Keys typed ahead are left for the final key wait, unread: nothing is asked then.
    bool keysWaiting() {
        INPUT_RECORD records[64];
        DWORD count = 0;
        if (!PeekConsoleInputW(in_, records, 64, &count)) return false;
        for (DWORD i = 0; i < count; ++i)
            if (records[i].EventType == KEY_EVENT && records[i].Event.KeyEvent.bKeyDown) return true;
        return false;
    }

    HANDLE out_, in_;
    DWORD outputMode_ = 0, inputMode_ = 0, showInputMode_ = 0;
    UINT outputCodePage_ = 0;
    bool haveModes_ = false;
    CONSOLE_SCREEN_BUFFER_INFO original_{};
    std::optional<TerminalGeometry> originalSize_;
    TerminalDescription description_;
    bool textConsole_ = false;
    CONSOLE_CURSOR_INFO cursor_{};
    SHORT lineWidth_ = 0;
    std::size_t column_ = 0;
    std::mutex writing_; // a write, a change and the putting back, one at a time
    bool putBack_ = false;
    std::vector<Kept> kept_;
    std::vector<std::string> reports_;
};

// Ctrl+C, Ctrl+Break, the console closing: the console is put back first. Ctrl+C and
// Ctrl+Break then end the show with STATUS_CONTROL_C_EXIT, as Windows' own handler does (Wine's
// would report success); the other events go on to the system, which ends the process.
BOOL WINAPI onConsoleEvent(DWORD event) {
    {
        std::lock_guard lock(liveMutex);
        if (live) live->putBack();
    }
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) ExitProcess(STATUS_CONTROL_C_EXIT);
    return FALSE;
}

} // namespace

std::shared_ptr<Terminal> standardTerminal() {
    static std::weak_ptr<Terminal> shared;
    std::shared_ptr<Terminal> terminal = shared.lock();
    if (!terminal) {
        terminal = std::make_shared<WindowsTerminal>();
        shared = terminal;
    }
    return terminal;
}

} // namespace veloria
