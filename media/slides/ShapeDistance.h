// Signed distances to simple shapes (negative inside) and the soft masks made from them, for
// drawing the slides' pictures. Only +, -, *, / and sqrt, so every build computes equal bits.
#pragma once

#include "media/common/VectorMath.h"

#include <algorithm>
#include <cmath>

namespace veloria::slides {

using drawing::clamp01;
using drawing::mix;
using drawing::smoothstep;
using drawing::Vec2;

// 1 well inside a shape, 0 well outside, with an edge blurred over +-softness.
inline double insideMask(double distance, double softness) {
    return 1.0 - smoothstep(-softness, softness, distance);
}

inline double circleDistance(Vec2 p, Vec2 centre, double radius) {
    return length(p - centre) - radius;
}

// Axis-aligned box given by its centre and half sizes, with corners rounded by radius.
inline double boxDistance(Vec2 p, Vec2 centre, double halfWidth, double halfHeight,
                          double radius = 0.0) {
    const double qx = std::abs(p.x - centre.x) - halfWidth + radius;
    const double qy = std::abs(p.y - centre.y) - halfHeight + radius;
    return length(Vec2{std::max(qx, 0.0), std::max(qy, 0.0)}) + std::min(std::max(qx, qy), 0.0) -
           radius;
}

// A stroke of the given half width from a to b with round ends.
inline double segmentDistance(Vec2 p, Vec2 a, Vec2 b, double halfWidth) {
    return distanceToSegment(p, a, b) - halfWidth;
}

// Triangle a, b, c (either winding).
inline double triangleDistance(Vec2 p, Vec2 a, Vec2 b, Vec2 c) {
    const Vec2 corners[3] = {a, b, c};
    double nearest = 1e300;
    double sign = 0.0;
    int inside = 0;
    for (int k = 0; k < 3; ++k) {
        const Vec2 e0 = corners[k];
        const Vec2 e1 = corners[(k + 1) % 3];
        nearest = std::min(nearest, distanceToSegment(p, e0, e1));
        const double side = cross(e1 - e0, p - e0);
        if (k == 0) sign = side;
        if (side * sign >= 0.0) ++inside;
    }
    return inside == 3 ? -nearest : nearest;
}

} // namespace veloria::slides
