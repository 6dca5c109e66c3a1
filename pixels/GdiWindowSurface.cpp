#include "pixels/WindowSurface.h"

#include <windows.h>

namespace veloria {
namespace {

// A real console window, drawn on through GDI as fast as the calls go: it is not paced.
class GdiWindowSurface final : public WindowSurface {
public:
    WindowHandle GetConsoleWindow() override { return ::GetConsoleWindow(); }

    DeviceContext GetDC(WindowHandle window) override { return ::GetDC(static_cast<HWND>(window)); }

    ModuleHandle GetWindowModule(WindowHandle window) override {
        HWND hwnd = static_cast<HWND>(window);
        // The pointer-sized form: a 32-bit read would cut a 64-bit module handle in half.
        auto named = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(hwnd, GWLP_HINSTANCE));
        // The console window belongs to the console host, whose module handle means nothing
        // in this process; the pictures are in this program's own executable.
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        return owner == GetCurrentProcessId() ? named : GetModuleHandleA(nullptr);
    }

    void SetPixel(DeviceContext dc, int x, int y, ColorValue colour) override {
        ::SetPixel(static_cast<HDC>(dc), x, y, colour);
    }
};

} // namespace

std::unique_ptr<WindowSurface> openWindowSurface(int) {
    return std::make_unique<GdiWindowSurface>();
}

} // namespace veloria
