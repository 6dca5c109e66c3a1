// A three-inch diskette floats over an endless chessboard under a sky of copper bars. A
// thin beam of light, as in a disk drive, falls through the diskette's index hole onto the
// floor. Ray traced: an oriented box for the diskette with its face painted from a layout
// table, a mirror-glossy floor, and the beam's glow found from the closest approach of each
// eye ray to the beam's line.
#include "media/pictures/Scenes.h"

#include <array>

namespace veloria::pictures {

namespace {

constexpr double Aspect = 1000.0 / 790.0;
constexpr Vec3 Eye{0.0, 4.0, -24.0};
constexpr Vec3 LookAt{0.6, 6.6, 0.0};
constexpr double FieldOfView = 0.42; // tangent of half the vertical angle

// The diskette: a thin box, 8 wide, 10 tall, 0.45 thick, turned and tilted.
constexpr Vec3 DiskCentre{0.0, 8.3, 0.0};
constexpr double HalfWidth = 4.0, HalfHeight = 5.0, HalfThickness = 0.225;
constexpr double Yaw = -0.5, Tilt = 0.14, Roll = 0.06;

// The index hole, in face coordinates (x right, y up from the face centre).
constexpr Vec2 IndexHole{2.85, 3.55};
constexpr double IndexHoleRadius = 0.32;

constexpr Vec3 BeamDirectionRaw{0.3, -0.9, -0.3};

struct Frame {
    Vec3 right, up, normal; // the diskette's axes: width, height, out of the front face
};

Frame diskFrame() {
    static const Frame frame = [] {
        double cy = dmath::cos(Yaw), sy = dmath::sin(Yaw);
        double ct = dmath::cos(Tilt), st = dmath::sin(Tilt);
        double cr = dmath::cos(Roll), sr = dmath::sin(Roll);
        Vec3 right{cy, 0.0, sy}, up{0.0, 1.0, 0.0}, normal{-sy, 0.0, cy};
        // Tilt back about the width axis, then roll within the face.
        Vec3 up2 = up * ct - normal * st, normal2 = normal * ct + up * st;
        Vec3 right3 = right * cr + up2 * sr, up3 = up2 * cr - right * sr;
        return Frame{right3, up3, -normal2};
    }();
    return frame;
}

// World position of a point given in face coordinates on the diskette's mid plane.
Vec3 onDisk(Vec2 face) {
    Frame f = diskFrame();
    return DiskCentre + f.right * face.x + f.up * face.y;
}

struct Beam {
    Vec3 from, direction, floorSpot;
    double length;
};

const Beam& beam() {
    static const Beam b = [] {
        Vec3 hole = onDisk(IndexHole);
        Vec3 d = normalize(BeamDirectionRaw);
        Vec3 from = hole - d * 40.0;
        double toFloor = -from.y / d.y;
        return Beam{from, d, from + d * toFloor, toFloor};
    }();
    return b;
}

struct Hit {
    double t;
    Vec3 normal;
    Vec2 face; // face coordinates of the hit
    bool front, side;
};

// Ray against the diskette's box, in its own frame. Rays through the index hole pass.
bool hitDisk(Vec3 origin, Vec3 d, Hit& hit) {
    Frame f = diskFrame();
    Vec3 o = origin - DiskCentre;
    Vec3 lo{dot(o, f.right), dot(o, f.up), dot(o, f.normal)};
    Vec3 ld{dot(d, f.right), dot(d, f.up), dot(d, f.normal)};
    const std::array<double, 3> half{HalfWidth, HalfHeight, HalfThickness};
    const std::array<double, 3> po{lo.x, lo.y, lo.z}, pd{ld.x, ld.y, ld.z};
    double tNear = -1e30, tFar = 1e30;
    int axis = 0;
    for (int i = 0; i < 3; ++i) {
        if (std::abs(pd[i]) < 1e-12) {
            if (std::abs(po[i]) > half[i]) return false;
            continue;
        }
        double t1 = (-half[i] - po[i]) / pd[i], t2 = (half[i] - po[i]) / pd[i];
        if (t1 > t2) std::swap(t1, t2);
        if (t1 > tNear) {
            tNear = t1;
            axis = i;
        }
        tFar = std::min(tFar, t2);
    }
    if (tNear > tFar || tNear <= 1e-6) return false;
    Vec3 local = lo + ld * tNear;
    Vec2 face{local.x, local.y};
    if (axis == 2 && length(face - IndexHole) < IndexHoleRadius) return false;
    std::array<Vec3, 3> axes{f.right, f.up, f.normal};
    double sign = pd[axis] < 0.0 ? 1.0 : -1.0;
    hit = {tNear, axes[axis] * sign, face, axis == 2 && sign > 0.0, axis != 2};
    return true;
}

// Sky: a deep gradient, a warm band at the horizon, a few stars, and three copper bars:
// horizontal tubes of light on a backdrop far behind the scene, so they stay straight.
struct CopperBar {
    double height, halfHeight;
    uint32_t colour;
};
constexpr double BackdropZ = 300.0;
constexpr std::array<CopperBar, 3> CopperBars{{
    {22.0, 6.0, 0xff9a2e},
    {46.0, 5.0, 0xe8368f},
    {68.0, 4.2, 0x3fa9ff},
}};

Vec3 sky(Vec3 origin, Vec3 d) {
    double e = d.y; // sine of the elevation
    Vec3 c = gradient(std::array<ColourStop, 4>{{{-0.1, srgb(0x2a0f3a)},
                                                 {0.0, srgb(0x7a2a6a)},
                                                 {0.1, srgb(0x2a1650)},
                                                 {0.4, srgb(0x070818)}}},
                      e);
    if (d.z <= 1e-6) return c;
    Vec3 at = origin + d * ((BackdropZ - origin.z) / d.z);
    auto sx = static_cast<int32_t>(dmath::floorOf(at.x * 1.5));
    auto sy = static_cast<int32_t>(dmath::floorOf(at.y * 1.5));
    double twinkle = hash01(sx, sy, 7);
    if (twinkle > 0.985 && at.y > 80.0) {
        Vec2 star{(sx + hash01(sx, sy, 8)) / 1.5, (sy + hash01(sx, sy, 9)) / 1.5};
        double r = length(Vec2{at.x, at.y} - star);
        c = c + Vec3{0.8, 0.8, 1.0} * ((twinkle - 0.985) * 60.0 * dmath::exp(-r * r / 0.03));
    }
    for (const CopperBar& bar : CopperBars) {
        double u = (at.y - bar.height) / bar.halfHeight;
        if (std::abs(u) >= 1.0) continue;
        // A bar is lit like a metal tube: dark at its edges, a bright line near the top.
        double shade = dmath::pow(1.0 - u * u, 1.5);
        double shine = dmath::exp(-(u - 0.35) * (u - 0.35) / 0.02);
        c = mix(c, srgb(bar.colour) * (0.15 + 1.1 * shade) + Vec3{1, 1, 1} * (0.6 * shine),
                smoothstep(1.0, 0.85, std::abs(u)));
    }
    return c;
}

// The glow the beam adds along an eye ray that travels a distance `reach`.
Vec3 beamGlow(Vec3 origin, Vec3 d, double reach) {
    const Beam& b = beam();
    // Closest approach of the two lines, clamped to the ray's reach and the beam's length.
    Vec3 w = origin - b.from;
    double bb = dot(d, b.direction), dw = dot(d, w), ew = dot(b.direction, w);
    double den = 1.0 - bb * bb;
    double s = den > 1e-9 ? (bb * ew - dw) / den : 0.0;
    s = std::min(std::max(s, 0.0), reach);
    double u = std::min(std::max(dot(origin + d * s - b.from, b.direction), 0.0), b.length);
    double dist = length(origin + d * s - (b.from + b.direction * u));
    double glow = 1.6 * dmath::exp(-dist * dist / 0.006) + 0.25 * dmath::exp(-dist / 0.25) +
                  0.06 * dmath::exp(-dist / 1.2);
    return srgb(0xffc878) * glow;
}

constexpr Vec3 KeyLight{-0.55, 0.7, -0.45};
constexpr Vec3 RimLight{0.7, 0.25, 0.65};

// The printed face of the diskette at face coordinates q, lit elsewhere.
struct Surface {
    Vec3 colour;
    double gloss; // 0 matte paper, 1 polished metal
};

Surface frontFace(Vec2 q) {
    const Vec3 plastic = srgb(0x2b2d3a);
    // The shutter: brushed metal sliding in a recessed track at the top.
    if (std::abs(q.x) < 1.7 && q.y > 0.55) {
        double brushed = valueNoise({q.x * 3.0, q.y * 90.0}, 201);
        Vec3 metal = srgb(0xb8c0cc) * (0.75 + 0.25 * brushed);
        bool slot = std::abs(q.x) < 0.55 && q.y > 2.0 && q.y < 4.5;
        bool arrow = q.x > 0.3 && q.x < 1.2 && std::abs(q.y - 1.1) < (q.x - 0.3) * 0.35;
        if (slot) metal = metal * 0.55;
        if (arrow) metal = metal * 0.6;
        return {metal, 1.0};
    }
    if (std::abs(q.x) < 2.25 && q.y > 0.35) return {plastic * 0.6, 0.3};
    // The label: a band of rainbow stripes over a ruled white card.
    if (std::abs(q.x) < 3.45 && q.y < -0.1 && q.y > -4.6) {
        const std::array<uint32_t, 5> stripes{0xe8362d, 0xf59a23, 0xf5d423, 0x3fb54a, 0x2d7be8};
        double band = (-0.3 - q.y) / 0.24;
        if (band >= 0.0 && band < 5.0) return {srgb(stripes[static_cast<size_t>(band)]), 0.1};
        double line = (q.y + 1.6) / 0.7;
        line -= dmath::floorOf(line);
        Vec3 card = srgb(0xf2ecdc);
        if (q.y < -1.65 && line < 0.06 && std::abs(q.x) < 3.1) card = srgb(0x8aa4d8);
        return {card, 0.1};
    }
    double ring = length(q - IndexHole);
    if (ring < IndexHoleRadius + 0.12) return {plastic * 0.5, 0.3};
    return {plastic, 0.35};
}

Vec3 lightDisk(const Hit& hit, Vec3 at, Vec3 d) {
    Frame f = diskFrame();
    Surface s = hit.front ? frontFace(hit.face) : Surface{srgb(0x2b2d3a), 0.35};
    // Bevelled edges: the normal bends towards the sides near the box's outline.
    Vec3 n = hit.normal;
    if (!hit.side) {
        double ex = smoothstep(HalfWidth - 0.18, HalfWidth, std::abs(hit.face.x));
        double ey = smoothstep(HalfHeight - 0.18, HalfHeight, std::abs(hit.face.y));
        n = normalize(n + f.right * (hit.face.x > 0 ? ex : -ex) * 0.9 +
                      f.up * (hit.face.y > 0 ? ey : -ey) * 0.9);
    }
    Vec3 key = normalize(KeyLight), rim = normalize(RimLight);
    double diffuse = std::max(dot(n, key), 0.0);
    double back = std::max(dot(n, rim), 0.0);
    Vec3 half = normalize(key - d);
    double spec = dmath::pow(std::max(dot(n, half), 0.0), 20.0 + 60.0 * s.gloss);
    Vec3 c = s.colour * (0.16 + 0.95 * diffuse) + srgb(0x8a5cff) * (0.35 * back) +
             Vec3{1.0, 0.95, 0.9} * (spec * (0.15 + 0.9 * s.gloss));
    // Warm light scattered from the beam onto the face around the hole.
    double nearHole = length(hit.face - IndexHole);
    if (hit.front) c = c + srgb(0xffb060) * (0.9 * dmath::exp(-nearHole / 0.5));
    // Glossy plastic and metal mirror the sky and its bars.
    double fresnel = 0.05 + 0.5 * dmath::pow(1.0 - std::abs(dot(n, d)), 5.0);
    return c + sky(at, reflect(d, n)) * (fresnel + 0.3 * s.gloss * s.gloss);
}

Vec3 floorColour(Vec3 at, double distance) {
    double cx = dmath::floorOf(at.x / 2.0), cz = dmath::floorOf(at.z / 2.0);
    bool dark = (static_cast<int64_t>(cx + cz) & 1) != 0;
    // Far tiles blur into their average before they can alias.
    double fade = smoothstep(20.0, 70.0, distance);
    Vec3 a = srgb(0x1a2cc0) * 0.45, b = srgb(0x05061a);
    return mix(dark ? b : a, (a + b) * 0.5, fade);
}

// Fraction of the overhead light reaching a floor point: a broad light seen from several
// of its points, so the diskette's shadow is soft.
double overheadVisibility(Vec3 at) {
    constexpr std::array<Vec3, 5> Spread{{
        {0.0, 1.0, 0.45},
        {0.12, 1.0, 0.45},
        {-0.12, 1.0, 0.45},
        {0.0, 1.0, 0.57},
        {0.0, 1.0, 0.33},
    }};
    double lit = 0.0;
    Hit ignored;
    for (const Vec3& s : Spread) lit += hitDisk(at, normalize(s), ignored) ? 0.0 : 0.2;
    return lit;
}

Vec3 trace(Vec3 origin, Vec3 d, int depth) {
    Hit hit{};
    bool onDisk = hitDisk(origin, d, hit);
    double tFloor = d.y < -1e-9 ? -origin.y / d.y : 1e30;
    if (onDisk && hit.t < tFloor) {
        Vec3 at = origin + d * hit.t;
        return lightDisk(hit, at, d) + beamGlow(origin, d, hit.t);
    }
    if (tFloor < 1e29) {
        Vec3 at = origin + d * tFloor;
        Vec3 c = floorColour(at, tFloor) * (0.15 + 1.0 * overheadVisibility(at));
        if (depth == 0) {
            double fresnel = 0.12 + 0.6 * dmath::pow(1.0 - std::abs(d.y), 5.0);
            c = c + trace(at + Vec3{0, 1e-4, 0}, {d.x, -d.y, d.z}, 1) * fresnel;
        }
        const Beam& b = beam();
        double spot = length(Vec3{at.x - b.floorSpot.x, 0.0, at.z - b.floorSpot.z});
        c = c + srgb(0xffc070) *
                    (2.0 * dmath::exp(-spot * spot / 0.05) + 0.3 * dmath::exp(-spot / 1.5));
        c = mix(c, sky(origin, {d.x, 0.0, d.z}), smoothstep(40.0, 160.0, tFloor));
        return c + beamGlow(origin, d, tFloor);
    }
    return sky(origin, d) + beamGlow(origin, d, 1e3);
}

} // namespace

Vec3 shadeDisketteScene(Vec2 p) {
    Vec3 forward = normalize(LookAt - Eye);
    Vec3 right = normalize(cross({0.0, 1.0, 0.0}, forward));
    Vec3 up = cross(forward, right);
    double sx = (p.x * 2.0 - Aspect) * FieldOfView, sy = (p.y * 2.0 - 1.0) * FieldOfView;
    return trace(Eye, normalize(forward + right * sx + up * sy), 0);
}

} // namespace veloria::pictures
