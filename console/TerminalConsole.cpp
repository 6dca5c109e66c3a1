// The console on a POSIX terminal. Texts arrive in a Windows code page and are converted to
// the terminal's own charset on the way out. Size and colour changes become escape sequences,
// sent only to a terminal that understands them, and are undone at exit by the guard.
#include "console/Console.h"
#include "console/TerminalAnswers.h"
#include "console/TerminalGuard.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iconv.h>
#include <langinfo.h>
#include <string>
#include <unistd.h>

namespace veloria {
namespace {

// The 16 console colours as RGB, in attribute order (the palette of current Windows consoles).
constexpr unsigned char ConsolePalette[16][3] = {
    {12, 12, 12},  {0, 55, 218},    {19, 161, 14},   {58, 150, 221},  {197, 15, 31}, {136, 23, 152},
    {193, 156, 0}, {204, 204, 204}, {118, 118, 118}, {59, 120, 255},  {22, 198, 12}, {97, 214, 214},
    {231, 72, 86}, {180, 0, 158},   {249, 241, 165}, {242, 242, 242},
};

bool terminalUnderstandsEscapes() {
    const char* term = std::getenv("TERM");
    return isatty(STDOUT_FILENO) && !(term && std::strcmp(term, "dumb") == 0);
}

bool terminalSaysTrueColour() {
    const char* colorTerm = std::getenv("COLORTERM");
    return colorTerm &&
           (std::strcmp(colorTerm, "truecolor") == 0 || std::strcmp(colorTerm, "24bit") == 0);
}

// The ANSI colour number (red = 1, green = 2, blue = 4) of a console colour's hue (blue = 1,
// green = 2, red = 4); its bright bit (8) picks the bright eight.
int ansiColour(unsigned consoleColour) {
    return static_cast<int>((consoleColour & 1) << 2 | (consoleColour & 2) |
                            (consoleColour & 4) >> 2);
}

class TerminalConsole final : public Console {
public:
    TerminalConsole()
        : escapes_(terminalUnderstandsEscapes()), insideScreen_(std::getenv("STY") != nullptr),
          trueColour_(terminalSaysTrueColour() && !insideScreen_) {
        std::setlocale(LC_ALL, "");
    }
    ~TerminalConsole() override {
        std::fflush(stdout);
        if (converter_ != Unopened) iconv_close(converter_);
    }

    // Input is read only to end the show; its bytes are never looked at.
    void setInputCodePage(unsigned) override {}

    void setOutputCodePage(unsigned codePage) override {
        if (converter_ != Unopened) iconv_close(converter_);
        std::string to = std::string(nl_langinfo(CODESET)) + "//TRANSLIT";
        std::string from = "CP" + std::to_string(codePage);
        converter_ = iconv_open(to.c_str(), from.c_str());
    }

    void setSize(int columns, int lines) override {
        if (!escapes_) return;
        winsize original{};
        if (TerminalGuard::originalSize(original))
            TerminalGuard::onRestore(Restore::Size, "\x1b[8;" + std::to_string(original.ws_row) +
                                                        ";" + std::to_string(original.ws_col) +
                                                        "t");
        // Many terminals ignore the request; the show goes on at whatever size there is.
        std::printf("\x1b[8;%d;%dt", lines, columns);
        // Lines written for a console of that width are clipped by a narrower terminal rather
        // than wrapped into a garble.
        TerminalGuard::onRestore(Restore::Autowrap, "\x1b[?7h");
        std::fputs("\x1b[?7l", stdout);
        std::fflush(stdout);
    }

    void setColors(unsigned attribute) override {
        if (!escapes_) return;
        unsigned foreground = attribute & 0xF, background = (attribute >> 4) & 0xF;
        const unsigned char* fg = ConsolePalette[foreground];
        const unsigned char* bg = ConsolePalette[background];
        if (insideScreen_) {
            // GNU screen passes on only some default-colour requests and none of the resets.
            TerminalGuard::onRestore(Restore::Colors, "\x1b[0m");
        } else {
            TerminalGuard::onRestore(Restore::Colors, "\x1b[0m" + defaultColoursUndo());
            // The default colours recolour everything already on screen.
            std::printf("\x1b]10;rgb:%02x/%02x/%02x\x07\x1b]11;rgb:%02x/%02x/%02x\x07", fg[0],
                        fg[1], fg[2], bg[0], bg[1], bg[2]);
        }
        // The same colours as attributes cover terminals that ignore those requests: the
        // terminal's own palette colours everywhere, the exact ones where it says it can.
        std::printf("\x1b[%d;%dm", (foreground & 8 ? 90 : 30) + ansiColour(foreground),
                    (background & 8 ? 100 : 40) + ansiColour(background));
        if (trueColour_)
            std::printf("\x1b[38;2;%d;%d;%dm\x1b[48;2;%d;%d;%dm", fg[0], fg[1], fg[2], bg[0], bg[1],
                        bg[2]);
        std::fflush(stdout);
    }

    void write(std::string_view bytes) override {
        if (converter_ == Unopened) {
            std::fwrite(bytes.data(), 1, bytes.size(), stdout);
            return;
        }
        for (char ch : bytes) writeConverted(ch);
    }

    void flush() override { std::fflush(stdout); }

    void readKey() override {
        flush();
        std::getchar();
    }

private:
    // Resets the default colours; terminals that ignore the reset get the colours they
    // reported back before, where they answered the question.
    static std::string defaultColoursUndo() {
        std::fflush(stdout);
        std::string answers = askTerminal("\x1b]10;?\x07\x1b]11;?\x07");
        std::string undo;
        for (int which : {10, 11})
            if (auto colour = reportedColour(answers, which))
                undo += "\x1b]" + std::to_string(which) + ";" + *colour + "\x07";
        return undo + "\x1b]110\x07\x1b]111\x07";
    }

    static inline const iconv_t Unopened = reinterpret_cast<iconv_t>(-1);

    // Converts one single-byte character; one the terminal's charset cannot show becomes '?'.
    void writeConverted(char ch) {
        char out[16];
        char* in = &ch;
        std::size_t inLeft = 1;
        char* outPtr = out;
        std::size_t outLeft = sizeof out;
        if (iconv(converter_, &in, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) {
            iconv(converter_, nullptr, nullptr, nullptr, nullptr);
            std::fputc('?', stdout);
            return;
        }
        std::fwrite(out, 1, sizeof out - outLeft, stdout);
    }

    TerminalGuard guard_;
    bool escapes_;
    bool insideScreen_; // GNU screen, which mangles colour requests
    bool trueColour_;
    iconv_t converter_ = Unopened;
};

} // namespace

std::unique_ptr<Console> openConsole() {
    return std::make_unique<TerminalConsole>();
}

} // namespace veloria
