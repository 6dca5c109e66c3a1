// The console on a terminal. Texts arrive in a Windows code page and are converted to the
// terminal's charset on the way out (spelt in Latin letters where it has no Cyrillic); a
// character it cannot show at all becomes '?'. Size and colour changes become escape
// sequences, sent only to a terminal that takes them, each as a change of the terminal's
// settings together with the bytes that undo it.
#pragma once

#include "console/Console.h"
#include "terminal/Terminal.h"

#include <iconv.h>
#include <memory>
#include <optional>
#include <string>

namespace veloria {

class TerminalConsole final : public Console {
public:
    explicit TerminalConsole(std::shared_ptr<Terminal> terminal);
    ~TerminalConsole() override;
    TerminalConsole(const TerminalConsole&) = delete;
    TerminalConsole& operator=(const TerminalConsole&) = delete;

    // Input is read only to end the show; its bytes are never looked at.
    void setInputCodePage(unsigned) override {}
    void setOutputCodePage(unsigned codePage) override;
    void setSize(int columns, int lines) override;
    void setColors(unsigned attribute) override;
    void write(std::string_view bytes) override;
    void flush() override;
    void readKey() override;

private:
    std::optional<std::string> reportedDefaultColours();
    void writeConverted(char ch);

    std::shared_ptr<Terminal> terminal_;
    std::string pending_;
    iconv_t converter_;
};

} // namespace veloria
