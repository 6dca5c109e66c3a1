// The show's five pictures as a table: each a name, a size in pixels and a shader, a pure
// function from a point of the picture to the linear RGB light seen there.
#pragma once

#include "media/pictures/ShadingMath.h"

#include <span>
#include <string_view>

namespace veloria::pictures {

// p.x runs from 0 at the left edge to width / height at the right edge, p.y from 0 at the
// bottom edge to 1 at the top edge, so that one unit is the picture's height.
using Shader = Vec3 (*)(Vec2 p);

struct Picture {
    std::string_view name;
    int width;
    int height;
    Shader shade;
};

// In the order the show paints them.
std::span<const Picture> pictures();

// nullptr for a name that is not in the table.
const Picture* findPicture(std::string_view name);

} // namespace veloria::pictures
