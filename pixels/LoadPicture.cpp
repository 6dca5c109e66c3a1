#include "pixels/LoadPicture.h"

#include "pixels/Bitmap.h"

namespace veloria {

PixelGrid loadPicture(WindowSurface& surface, std::string_view name, int h, int w,
                      WindowHandle window) {
    PixelGrid grid(h, std::vector<ColorValue>(w, 0));
    ModuleHandle module = surface.GetWindowModule(window);
    Bitmap bitmap;
    bitmap.LoadFromResourceName(module, name);
    for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c) grid[r][c] = bitmap.Pixels(c, h - 1 - r);
    return grid;
}

} // namespace veloria
