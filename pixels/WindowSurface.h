// The window that shows the console, as the gallery draws on it: the window itself, a device
// context for its client area, the module its resources are found in, and single pixels.
// On Windows these are the real window calls; on a terminal the window is the terminal's
// pixel surface and the module the program's own media.
#pragma once

#include "media/Resources.h"
#include "terminal/ColorValue.h"

#include <memory>

namespace veloria {

using WindowHandle = void*;
using DeviceContext = void*;

class WindowSurface {
public:
    virtual ~WindowSurface() = default;
    // The window showing the console.
    virtual WindowHandle GetConsoleWindow() = 0;
    // A device context for the window's client area, usable until the process ends.
    virtual DeviceContext GetDC(WindowHandle window) = 0;
    // The module under which the window finds the program's pictures.
    virtual ModuleHandle GetWindowModule(WindowHandle window) = 0;
    // Sets one pixel at client coordinates (origin top left, y downwards); positions outside
    // the client area are the platform's matter.
    virtual void SetPixel(DeviceContext dc, int x, int y, ColorValue colour) = 0;
};

// The window of this process's console. Where the platform paces the pixel calls, the pace
// runs `clockSpeedup` times faster than real time (1 for the show).
std::unique_ptr<WindowSurface> openWindowSurface(int clockSpeedup);

} // namespace veloria
