// Whether the console is shown in a window a person can see, which the gallery can paint on
// through GDI. Consoles that draw their text themselves (Windows Terminal and every other
// pseudo console: VS Code, ssh, terminal emulators; Wine run inside a terminal) still report
// a console window, but a hidden one: for a pseudo console a stand-in of the class
// "PseudoConsoleWindow", which shows nothing drawn into it even where it claims to be visible.
#pragma once

#include "pixels/WindowSurface.h"

#include <string>

namespace veloria {

// The window calls the decision needs.
class ConsoleWindowCalls {
public:
    virtual ~ConsoleWindowCalls() = default;
    virtual WindowHandle GetConsoleWindow() = 0;
    virtual bool IsWindowVisible(WindowHandle window) = 0;
    virtual std::string WindowClassName(WindowHandle window) = 0;
};

bool hasVisibleConsoleWindow(ConsoleWindowCalls& calls);

} // namespace veloria
