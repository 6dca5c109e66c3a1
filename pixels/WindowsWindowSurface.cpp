// The console window on Windows. At the gallery's start the console is looked at once: a
// window a person can see is painted on through GDI, unpaced; any other console (Windows
// Terminal, a pseudo console, Wine inside a terminal) shows the gallery through the terminal
// behind it, paced, exactly as a POSIX terminal does, or, where it takes no escape sequences
// either, only keeps the gallery's time.
#include "pixels/GdiWindowSurface.h"
#include "pixels/TerminalSurface.h"
#include "pixels/VisibleConsoleWindow.h"

#include <windows.h>

namespace veloria {
namespace {

class WindowCalls final : public ConsoleWindowCalls {
public:
    WindowHandle GetConsoleWindow() override { return ::GetConsoleWindow(); }
    bool IsWindowVisible(WindowHandle window) override {
        return ::IsWindowVisible(static_cast<HWND>(window));
    }
    std::string WindowClassName(WindowHandle window) override {
        char name[256] = "";
        int length = ::GetClassNameA(static_cast<HWND>(window), name, sizeof name);
        return std::string(name, static_cast<std::size_t>(length > 0 ? length : 0));
    }
};

class ChosenWindowSurface final : public WindowSurface {
public:
    explicit ChosenWindowSurface(int clockSpeedup) : clockSpeedup_(clockSpeedup) {}

    WindowHandle GetConsoleWindow() override {
        if (!chosen_) {
            WindowCalls calls;
            chosen_ = hasVisibleConsoleWindow(calls)
                          ? makeGdiWindowSurface()
                          : makeTerminalSurface(standardTerminal(), openPaceClock(clockSpeedup_));
        }
        return chosen_->GetConsoleWindow();
    }
    DeviceContext GetDC(WindowHandle window) override { return chosen_->GetDC(window); }
    ModuleHandle GetWindowModule(WindowHandle window) override {
        return chosen_->GetWindowModule(window);
    }
    void SetPixel(DeviceContext dc, int x, int y, ColorValue colour) override {
        chosen_->SetPixel(dc, x, y, colour);
    }

private:
    int clockSpeedup_;
    std::unique_ptr<WindowSurface> chosen_;
};

} // namespace

std::unique_ptr<WindowSurface> openWindowSurface(int clockSpeedup) {
    return std::make_unique<ChosenWindowSurface>(clockSpeedup);
}

} // namespace veloria
