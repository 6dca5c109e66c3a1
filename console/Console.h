// The console the show writes to: its code pages, size and colours, text output and the
// final key read. One implementation per platform, plus a recording fake for tests.
#pragma once

#include <memory>
#include <string_view>

namespace veloria {

class Console {
public:
    virtual ~Console() = default;

    // Code page in which input is read and the bytes written are shown (1251: Cyrillic).
    virtual void setInputCodePage(unsigned codePage) = 0;
    virtual void setOutputCodePage(unsigned codePage) = 0;
    // Makes the console area the given number of columns and lines, where the console can.
    virtual void setSize(int columns, int lines) = 0;
    // Colours the whole console with a colour attribute: background in the high nibble, text in
    // the low one, in the 16-colour console palette (0x0A: light green on black).
    virtual void setColors(unsigned attribute) = 0;
    // Writes bytes in the output code page; they may stay buffered until flush().
    virtual void write(std::string_view bytes) = 0;
    // Makes everything written so far visible.
    virtual void flush() = 0;
    // Reads one character of input, waiting for it; the show ignores what it reads.
    virtual void readKey() = 0;
};

// The console this process runs in.
std::unique_ptr<Console> openConsole();

} // namespace veloria
