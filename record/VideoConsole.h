// The console of a recording: a Windows console's text, sizes and colours, kept as cells and
// painted into the video's window at once, as a console window repaints itself after each
// change. Nobody is at the keyboard of a recording, so the final key wait returns at once.
#pragma once

#include "console/Console.h"
#include "record/ConsoleScreen.h"
#include "record/DesktopPicture.h"

namespace veloria {

class VideoConsole final : public Console {
public:
    explicit VideoConsole(DesktopPicture& picture);

    // The window's font shows Windows-1251, the only code page the show writes in.
    void setInputCodePage(unsigned) override {}
    void setOutputCodePage(unsigned) override {}
    void setSize(int columns, int lines) override;
    void setColors(unsigned attribute) override;
    void write(std::string_view bytes) override;
    void flush() override {}
    void readKey() override {}

private:
    DesktopPicture& picture_;
    ConsoleScreen screen_;
};

} // namespace veloria
