#include "pixels/GdiWindowSurface.h"

#include <windows.h>

namespace veloria {
namespace {

// Whether a module handle names a module loaded in this process: a handle read from a window
// that another process made (the console host's) means nothing here.
bool isModuleOfThisProcess(HINSTANCE module) {
    HMODULE found = nullptr;
    return module &&
           GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                  GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                              reinterpret_cast<LPCSTR>(module), &found) &&
           found == module;
}

// Whether the module holds pictures (bitmap resources) at all.
bool holdsPictures(HINSTANCE module) {
    bool found = false;
    EnumResourceNamesA(
        module, RT_BITMAP,
        [](HMODULE, LPCSTR, LPSTR, LONG_PTR found) -> BOOL {
            *reinterpret_cast<bool*>(found) = true;
            return FALSE; // one is enough
        },
        reinterpret_cast<LONG_PTR>(&found));
    return found;
}

class GdiWindowSurface final : public WindowSurface {
public:
    WindowHandle GetConsoleWindow() override { return ::GetConsoleWindow(); }

    DeviceContext GetDC(WindowHandle window) override { return ::GetDC(static_cast<HWND>(window)); }

    // The module the window names where it holds the pictures, else the program's own: the
    // console window belongs to the console host, or, where the show opened its own console,
    // names no module of its own at all.
    ModuleHandle GetWindowModule(WindowHandle window) override {
        // The pointer-sized form: a 32-bit read would cut a 64-bit module handle in half.
        auto named = reinterpret_cast<HINSTANCE>(
            GetWindowLongPtrA(static_cast<HWND>(window), GWLP_HINSTANCE));
        if (isModuleOfThisProcess(named) && holdsPictures(named))
            return named;
        return programModule();
    }

    void SetPixel(DeviceContext dc, int x, int y, ColorValue colour) override {
        ::SetPixel(static_cast<HDC>(dc), x, y, colour);
    }
};

} // namespace

std::unique_ptr<WindowSurface> makeGdiWindowSurface() {
    return std::make_unique<GdiWindowSurface>();
}

} // namespace veloria
