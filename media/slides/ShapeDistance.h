// Signed distances to simple shapes (negative inside) and the soft masks made from them, for
// drawing the slides' pictures. Only +, -, *, / and sqrt, so every build computes equal bits.
#pragma once

#include <algorithm>
#include <cmath>

namespace veloria::slides {

struct Point {
    double x = 0.0;
    double y = 0.0;
};

inline double length(double x, double y) {
    return std::sqrt(x * x + y * y);
}

inline double smoothstep(double edge0, double edge1, double x) {
    const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

inline double mix(double a, double b, double t) {
    return a + (b - a) * t;
}

// 1 well inside a shape, 0 well outside, with an edge blurred over +-softness.
inline double insideMask(double distance, double softness) {
    return 1.0 - smoothstep(-softness, softness, distance);
}

inline double circleDistance(Point p, Point centre, double radius) {
    return length(p.x - centre.x, p.y - centre.y) - radius;
}

// Axis-aligned box given by its centre and half sizes, with corners rounded by radius.
inline double boxDistance(Point p, Point centre, double halfWidth, double halfHeight,
                          double radius = 0.0) {
    const double qx = std::abs(p.x - centre.x) - halfWidth + radius;
    const double qy = std::abs(p.y - centre.y) - halfHeight + radius;
    return length(std::max(qx, 0.0), std::max(qy, 0.0)) + std::min(std::max(qx, qy), 0.0) - radius;
}

// A stroke of the given half width from a to b with round ends.
inline double segmentDistance(Point p, Point a, Point b, double halfWidth) {
    const double abx = b.x - a.x, aby = b.y - a.y;
    const double apx = p.x - a.x, apy = p.y - a.y;
    const double t = std::clamp((apx * abx + apy * aby) / (abx * abx + aby * aby), 0.0, 1.0);
    return length(apx - t * abx, apy - t * aby) - halfWidth;
}

// Triangle a, b, c (either winding).
inline double triangleDistance(Point p, Point a, Point b, Point c) {
    const Point corners[3] = {a, b, c};
    double nearest = 1e300;
    double sign = 0.0;
    int inside = 0;
    for (int k = 0; k < 3; ++k) {
        const Point e0 = corners[k];
        const Point e1 = corners[(k + 1) % 3];
        nearest = std::min(nearest, segmentDistance(p, e0, e1, 0.0));
        const double cross = (e1.x - e0.x) * (p.y - e0.y) - (e1.y - e0.y) * (p.x - e0.x);
        if (k == 0) sign = cross;
        if (cross * sign >= 0.0) ++inside;
    }
    return inside == 3 ? -nearest : nearest;
}

} // namespace veloria::slides
