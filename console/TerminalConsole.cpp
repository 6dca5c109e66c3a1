#include "console/TerminalConsole.h"

#include "console/ConsolePalette.h"

#include <cstdio>

namespace veloria {
namespace {

const iconv_t Unopened = reinterpret_cast<iconv_t>(-1);

// The ANSI colour number (red = 1, green = 2, blue = 4) of a console colour's hue (blue = 1,
// green = 2, red = 4); its bright bit (8) picks the bright eight.
int ansiColour(unsigned consoleColour) {
    return static_cast<int>((consoleColour & 1) << 2 | (consoleColour & 2) |
                            (consoleColour & 4) >> 2);
}

std::string formatted(const char* format, auto... values) {
    char text[96];
    int length = std::snprintf(text, sizeof text, format, values...);
    return std::string(text, static_cast<std::size_t>(length));
}

} // namespace

TerminalConsole::TerminalConsole(std::shared_ptr<Terminal> terminal)
    : terminal_(std::move(terminal)), converter_(Unopened) {}

TerminalConsole::~TerminalConsole() {
    flush();
    if (converter_ != Unopened) iconv_close(converter_);
}

void TerminalConsole::setOutputCodePage(unsigned codePage) {
    if (converter_ != Unopened) iconv_close(converter_);
    std::string to = terminal_->description().charset + "//TRANSLIT";
    std::string from = "CP" + std::to_string(codePage);
    converter_ = iconv_open(to.c_str(), from.c_str());
}

void TerminalConsole::setSize(int columns, int lines) {
    if (!terminal_->description().escapes) return;
    flush();
    auto original = terminal_->originalSize();
    // Many terminals ignore the request; the show goes on at whatever size there is.
    terminal_->change(Setting::Size, sizeRequest(columns, lines),
                      original ? sizeRequest(original->columns, original->rows) : "");
    // Lines written for a console of that width are clipped by a narrower terminal rather
    // than wrapped into a garble.
    terminal_->change(Setting::Autowrap, "\x1b[?7l", "\x1b[?7h");
}

void TerminalConsole::setColors(unsigned attribute) {
    const TerminalDescription& terminal = terminal_->description();
    if (!terminal.escapes) return;
    unsigned foreground = attribute & 0xF, background = (attribute >> 4) & 0xF;
    const unsigned char* fg = ConsolePalette[foreground];
    const unsigned char* bg = ConsolePalette[background];
    flush();
    // The default colours recolour everything already on screen, but are changed only where
    // the terminal told what they were, so that they can be given back. GNU screen mangles
    // the requests, and some terminals (urxvt) neither report the colours nor take the
    // resets: there the attributes alone colour the text, and nothing outlives the show.
    std::string colours, undo = "\x1b[0m";
    std::optional<std::string> reported;
    if (!terminal.insideScreen) reported = reportedDefaultColours();
    if (reported) {
        undo += *reported;
        colours += formatted("\x1b]10;rgb:%02x/%02x/%02x\x07\x1b]11;rgb:%02x/%02x/%02x\x07", fg[0],
                             fg[1], fg[2], bg[0], bg[1], bg[2]);
    }
    // The same colours as attributes cover terminals that ignore those requests: the
    // terminal's own palette colours everywhere, the exact ones where it shows them.
    colours += formatted("\x1b[%d;%dm", (foreground & 8 ? 90 : 30) + ansiColour(foreground),
                         (background & 8 ? 100 : 40) + ansiColour(background));
    if (terminal.trueColour)
        colours += formatted("\x1b[38;2;%d;%d;%dm\x1b[48;2;%d;%d;%dm", fg[0], fg[1], fg[2], bg[0],
                             bg[1], bg[2]);
    terminal_->change(Setting::Colors, colours, undo);
}

void TerminalConsole::write(std::string_view bytes) {
    if (converter_ == Unopened) {
        pending_.append(bytes);
        return;
    }
    for (char ch : bytes) writeConverted(ch);
}

void TerminalConsole::flush() {
    if (pending_.empty()) return;
    terminal_->write(pending_);
    pending_.clear();
}

void TerminalConsole::readKey() {
    flush();
    terminal_->readKey();
}

// The requests that set the default colours back as the terminal reports them now, if it
// reports both.
std::optional<std::string> TerminalConsole::reportedDefaultColours() {
    std::string answers = terminal_->ask(DefaultColoursQuery);
    std::string requests;
    for (int which : {10, 11}) {
        std::optional<std::string> colour = reportedColour(answers, which);
        if (!colour) return std::nullopt;
        requests += "\x1b]" + std::to_string(which) + ";" + *colour + "\x07";
    }
    return requests;
}

// Converts one single-byte character; one the terminal's charset cannot show becomes '?'.
void TerminalConsole::writeConverted(char ch) {
    char out[16];
    char* in = &ch;
    std::size_t inLeft = 1;
    char* outPtr = out;
    std::size_t outLeft = sizeof out;
    if (iconv(converter_, &in, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) {
        iconv(converter_, nullptr, nullptr, nullptr, nullptr);
        pending_ += '?';
        return;
    }
    pending_.append(out, sizeof out - outLeft);
}

std::unique_ptr<Console> openConsole() {
    return std::make_unique<TerminalConsole>(standardTerminal());
}

} // namespace veloria
