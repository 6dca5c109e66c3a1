// Turns one of the program's pictures into a grid of h rows by w columns, bottom-up: grid row
// r holds picture line h - 1 - r (lines counted from the top). Every cell is written; cells
// outside the picture hold CLR_INVALID. The picture is found through the module that the
// window names. Throws PictureError when the picture is missing or unreadable.
#pragma once

#include "pixels/PixelGrid.h"
#include "pixels/WindowSurface.h"

#include <string_view>

namespace veloria {

PixelGrid loadPicture(WindowSurface& surface, std::string_view name, int h, int w,
                      WindowHandle window);

} // namespace veloria
