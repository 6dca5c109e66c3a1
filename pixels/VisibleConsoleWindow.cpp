#include "pixels/VisibleConsoleWindow.h"

namespace veloria {

bool hasVisibleConsoleWindow(ConsoleWindowCalls& calls) {
    WindowHandle window = calls.GetConsoleWindow();
    return window && calls.IsWindowVisible(window) &&
           calls.WindowClassName(window) != "PseudoConsoleWindow";
}

} // namespace veloria
