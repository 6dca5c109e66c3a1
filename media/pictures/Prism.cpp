// A glass prism in the dark. A white beam comes in from the left, bends into the glass and
// leaves it as a fan of spectral colours; the far face mirrors a faint echo back out through
// the near one. The rays are traced with Snell's law for many wavelengths through a glass
// whose index of refraction falls with wavelength.
#include "media/pictures/Scenes.h"

#include <array>

namespace veloria::pictures {

namespace {

constexpr Vec2 PrismCentre{0.3, 0.66};
constexpr double PrismRadius = 0.19; // centre to corner
constexpr double PrismTurn = -0.5;   // radians; 0 stands the prism on its base
constexpr double BeamRise = 0.08;    // radians above the horizontal
constexpr double BeamHalfWidth = 0.011;
constexpr double EntryAlongFace = 0.55; // from the apex towards the lower left corner
constexpr Vec2 Depth{0.035, 0.05};      // where the back face sits, seen past the front one

// Index of refraction n = A + B / lambda^2 (lambda in micrometres), the dispersion several
// times that of real glass so that the fan opens wide.
constexpr double CauchyA = 1.5;
constexpr double CauchyB = 0.045;

constexpr int Bands = 48;
constexpr double ShortestNm = 400.0, LongestNm = 700.0;

struct Segment {
    Vec2 from, direction;
    double length;
};

// One wavelength's path: through the glass and out, and the faint echo that the far face
// mirrors back inside and lets out through another face.
struct BandRay {
    Segment inside, outside, echoInside, echoOutside;
    Vec3 colour; // balanced so that all bands together make white
};

struct Traced {
    std::array<Vec2, 3> corners; // apex, lower left, lower right
    Segment incoming, reflected;
    std::array<BandRay, Bands> bands;
};

Vec2 outwardNormal(Vec2 a, Vec2 b) {
    Vec2 n = normalize(Vec2{b.y - a.y, a.x - b.x});
    return dot(n, (a + b) * 0.5 - PrismCentre) > 0.0 ? n : n * -1.0;
}

// Snell's law at a surface with unit normal n facing the incoming side; eta = n1 / n2.
// Returns false on total internal reflection.
bool refract(Vec2 d, Vec2 n, double eta, Vec2& out) {
    double c = -dot(d, n);
    double k = 1.0 - eta * eta * (1.0 - c * c);
    if (k < 0.0) return false;
    out = d * eta + n * (eta * c - std::sqrt(k));
    return true;
}

// Distance along the ray to the segment a-b, or a negative number if it misses.
double hitSegment(Vec2 origin, Vec2 d, Vec2 a, Vec2 b) {
    Vec2 e = b - a;
    double den = cross(d, e);
    if (std::abs(den) < 1e-12) return -1.0;
    double t = cross(a - origin, e) / den, u = cross(a - origin, d) / den;
    return t > 1e-9 && u >= 0.0 && u <= 1.0 ? t : -1.0;
}

// A ray inside the glass, from `from` to the face it meets: the part inside, the part that
// leaves (of length zero on total internal reflection) and the direction mirrored back in.
struct Passage {
    Segment inside, outside;
    Vec2 bounce;
};

Passage crossGlass(const std::array<Vec2, 3>& corners, Vec2 from, Vec2 d, double n) {
    double nearest = 1e30;
    int face = 0;
    for (int i = 0; i < 3; ++i) {
        double t = hitSegment(from, d, corners[i], corners[(i + 1) % 3]);
        if (t > 1e-6 && t < nearest) {
            nearest = t;
            face = i;
        }
    }
    Vec2 exit = from + d * nearest;
    Vec2 normal = outwardNormal(corners[face], corners[(face + 1) % 3]);
    Vec2 out = d;
    bool leaves = refract(d, normal * -1.0, n, out);
    return {
        {from, d, nearest}, {exit, out, leaves ? 3.0 : 0.0}, d - normal * (2.0 * dot(d, normal))};
}

Traced trace() {
    Traced t{};
    for (int i = 0; i < 3; ++i) {
        double angle = PrismTurn + dmath::Pi / 2 + i * (2.0 * dmath::Pi / 3.0);
        t.corners[i] = PrismCentre + Vec2{dmath::cos(angle), dmath::sin(angle)} * PrismRadius;
    }
    const Vec2 apex = t.corners[0], lowerLeft = t.corners[1];
    const Vec2 entry = apex + (lowerLeft - apex) * EntryAlongFace;
    const Vec2 d0{dmath::cos(BeamRise), dmath::sin(BeamRise)};
    t.incoming = {entry - d0 * 2.0, d0, 2.0};
    const Vec2 entryNormal = outwardNormal(apex, lowerLeft);
    t.reflected = {entry, d0 - entryNormal * (2.0 * dot(d0, entryNormal)), 2.0};

    Vec3 total;
    for (int k = 0; k < Bands; ++k) {
        double nm = ShortestNm + (LongestNm - ShortestNm) * (k + 0.5) / Bands;
        double um = nm / 1000.0;
        double n = CauchyA + CauchyB / (um * um);
        BandRay& band = t.bands[k];
        band.colour = spectralColour(nm);
        total = total + band.colour;
        Vec2 inside;
        refract(d0, entryNormal, 1.0 / n, inside);
        Passage through = crossGlass(t.corners, entry, inside, n);
        Passage echo = crossGlass(t.corners, through.outside.from, through.bounce, n);
        band.inside = through.inside;
        band.outside = through.outside;
        band.echoInside = echo.inside;
        band.echoOutside = echo.outside;
    }
    for (BandRay& band : t.bands) {
        band.colour = {band.colour.x / total.x, band.colour.y / total.y, band.colour.z / total.z};
    }
    return t;
}

const Traced& traced() {
    static const Traced t = trace();
    return t;
}

// A smooth bump of unit height, zero beyond |x| = 1.
constexpr double bump(double x) {
    double t = 1.0 - x * x;
    return t > 0.0 ? t * t : 0.0;
}

// How much of a beam along the segment reaches p, with the given half width at its start
// growing by `spread` per unit along it; the light thins out as the beam widens.
double beam(Vec2 p, const Segment& s, double halfWidth, double spread) {
    Vec2 q = p - s.from;
    double along = dot(q, s.direction);
    if (along < 0.0 || along > s.length) return 0.0;
    double width = halfWidth + along * spread;
    return bump(cross(s.direction, q) / width) * (halfWidth / width);
}

bool insideTriangle(Vec2 p, Vec2 a, Vec2 b, Vec2 c) {
    double u = cross(b - a, p - a), v = cross(c - b, p - b), w = cross(a - c, p - c);
    return (u >= 0.0 && v >= 0.0 && w >= 0.0) || (u <= 0.0 && v <= 0.0 && w <= 0.0);
}

// The solid prism as seen: the front triangle, the back one and the side faces between.
bool insideSolid(Vec2 p, const std::array<Vec2, 3>& c) {
    for (int i = 0; i < 3; ++i) {
        Vec2 a = c[i], b = c[(i + 1) % 3];
        if (insideTriangle(p, a, b, b + Depth) || insideTriangle(p, a, b + Depth, a + Depth)) {
            return true;
        }
    }
    return insideTriangle(p, c[0], c[1], c[2]);
}

// Light in the glinting edges: the front face sharp, the back face and sides fainter.
double edgeLight(Vec2 p, const std::array<Vec2, 3>& c) {
    double front = 1e9, back = 1e9, sides = 1e9;
    for (int i = 0; i < 3; ++i) {
        Vec2 a = c[i], b = c[(i + 1) % 3];
        front = std::min(front, distanceToSegment(p, a, b));
        back = std::min(back, distanceToSegment(p, a + Depth, b + Depth));
        sides = std::min(sides, distanceToSegment(p, a, a + Depth));
    }
    return 1.5 * dmath::exp(-front / 0.0017) + 0.2 * dmath::exp(-back / 0.0012) +
           0.45 * dmath::exp(-sides / 0.0014);
}

// Specks of dust that light up where a beam passes: a brightness for the point.
double dust(Vec2 p) {
    constexpr double Cell = 0.011;
    int32_t cx = static_cast<int32_t>(dmath::floorOf(p.x / Cell));
    int32_t cy = static_cast<int32_t>(dmath::floorOf(p.y / Cell));
    Vec2 speck{(cx + hash01(cx, cy, 51)) * Cell, (cy + hash01(cx, cy, 52)) * Cell};
    double strength = hash01(cx, cy, 53);
    return strength > 0.8 ? bump(length(p - speck) / 0.002) * (strength - 0.8) * 5.0 : 0.0;
}

Vec3 background(Vec2 p) {
    double r = length(p - Vec2{0.42, 0.5});
    return mix(srgb(0x161b33), srgb(0x040509), smoothstep(0.05, 0.75, r));
}

} // namespace

Vec3 shadePrism(Vec2 p) {
    const Traced& t = traced();
    const bool inGlass = insideTriangle(p, t.corners[0], t.corners[1], t.corners[2]);
    Vec3 c = background(p);
    if (insideSolid(p, t.corners)) {
        double sheen = smoothstep(-0.1, 0.25, p.x - p.y + PrismCentre.y - PrismCentre.x);
        c = c * 0.8 + srgb(0x16324a) * (0.2 + 0.35 * sheen);
    }

    // The white beam, the faint part the first face mirrors away, a flare where it enters.
    double white = 2.2 * beam(p, t.incoming, BeamHalfWidth, 0.0);
    if (!inGlass) white += 0.12 * beam(p, t.reflected, BeamHalfWidth * 0.7, 0.0);
    double flare = length(p - t.incoming.from - t.incoming.direction * t.incoming.length);
    white += 0.5 * dmath::exp(-flare / 0.01) + 0.04 * dmath::exp(-flare / 0.05);

    Vec3 spectrum;
    for (const BandRay& band : t.bands) {
        double light = inGlass ? 0.8 * beam(p, band.inside, BeamHalfWidth * 0.9, 0.0) +
                                     0.12 * beam(p, band.echoInside, BeamHalfWidth, 0.0)
                               : 2.0 * beam(p, band.outside, BeamHalfWidth, 0.045) +
                                     0.35 * beam(p, band.outside, 4.0 * BeamHalfWidth, 0.09) +
                                     0.2 * beam(p, band.echoOutside, BeamHalfWidth, 0.04);
        if (light > 0.0) spectrum = spectrum + band.colour * light;
    }
    Vec3 light = Vec3{white, white, white} + spectrum;
    c = c + light * (1.0 + 2.5 * dust(p));

    // The front face: a cool body, brighter towards its edges.
    if (inGlass) {
        double edge = 1e9;
        for (int i = 0; i < 3; ++i) {
            edge = std::min(edge, distanceToSegment(p, t.corners[i], t.corners[(i + 1) % 3]));
        }
        double sheen = smoothstep(0.0, 0.3, p.y - PrismCentre.y + 0.15);
        c = c + srgb(0x1c3a52) * (0.15 + 0.5 * dmath::exp(-edge / 0.02) + 0.25 * sheen);
    }
    double glint = 0.5 + 0.5 * dmath::sin(p.x * 13.0 + p.y * 7.0);
    return c + srgb(0xbfe6ff) * ((0.4 + 0.6 * glint) * edgeLight(p, t.corners));
}

} // namespace veloria::pictures
