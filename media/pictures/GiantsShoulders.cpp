// A stone giant seen from behind, rising out of valley mist, his head turned up to the Milky
// Way. On his shoulder stands a small figure with a lantern, pointing at a bright star.
// The giant is a smooth union of tapered capsules (a table of body parts), each shaded as a
// rounded limb, under the cool light of the sky and the warm light of the lantern.
#include "media/pictures/Scenes.h"

#include <array>

namespace veloria::pictures {

namespace {

constexpr Vec2 TargetStar{0.585, 0.775};

// A capsule whose radius runs from ra at a to rb at b, melted into the shape so far with
// a blend of the given width.
struct Part {
    Vec2 a, b;
    double ra, rb, blend;
};

constexpr std::array<Part, 11> Giant{{
    {{0.3, 0.29}, {0.3, -0.08}, 0.15, 0.13, 0.0},         // torso
    {{0.3, 0.43}, {0.15, 0.365}, 0.036, 0.05, 0.04},      // left trapezius
    {{0.3, 0.43}, {0.45, 0.365}, 0.036, 0.05, 0.04},      // right trapezius
    {{0.125, 0.335}, {0.085, 0.165}, 0.06, 0.043, 0.03},  // left upper arm
    {{0.085, 0.165}, {0.095, 0.0}, 0.043, 0.036, 0.012},  // left forearm
    {{0.475, 0.335}, {0.515, 0.165}, 0.06, 0.043, 0.03},  // right upper arm
    {{0.515, 0.165}, {0.505, 0.0}, 0.043, 0.036, 0.012},  // right forearm
    {{0.3, 0.42}, {0.303, 0.49}, 0.033, 0.03, 0.025},     // neck
    {{0.303, 0.515}, {0.314, 0.548}, 0.052, 0.05, 0.012}, // head
    {{0.252, 0.52}, {0.255, 0.532}, 0.01, 0.009, 0.008},  // left ear
    {{0.362, 0.53}, {0.364, 0.542}, 0.01, 0.009, 0.008},  // right ear
}};

double capsule(Vec2 p, const Part& part) {
    Vec2 e = part.b - part.a;
    double t = clamp01(dot(p - part.a, e) / dot(e, e));
    return length(p - (part.a + e * t)) - mix(part.ra, part.rb, t);
}

// Polynomial smooth minimum: like min, but rounding the joint over a width k.
double smoothMin(double a, double b, double k) {
    if (k <= 0.0) return std::min(a, b);
    double h = clamp01(0.5 + 0.5 * (b - a) / k);
    return mix(b, a, h) - k * h * (1.0 - h);
}

// Signed distance to the giant's outline: negative inside.
double giant(Vec2 p) {
    double d = capsule(p, Giant[0]);
    for (size_t i = 1; i < Giant.size(); ++i)
        d = smoothMin(d, capsule(p, Giant[i]), Giant[i].blend);
    return d;
}

// Where the small figure stands: the top of the giant's right shoulder.
constexpr double FigureX = 0.43;
Vec2 figureFoot() {
    static const Vec2 foot = [] {
        double y = 0.6;
        while (giant({FigureX, y}) > 0.0) y -= 0.0002;
        return Vec2{FigureX, y};
    }();
    return foot;
}

// The small figure, in units of its own height from the foot: legs, a coat, a head, one arm
// towards the star and one holding the lantern out.
constexpr double FigureHeight = 0.068;
constexpr Vec2 Hand{-0.3, 0.46};

double figure(Vec2 p) {
    Vec2 q = (p - figureFoot()) * (1.0 / FigureHeight);
    constexpr Vec2 Shoulder{0.05, 0.71};
    const Vec2 pointing = Shoulder + normalize(TargetStar - figureFoot()) * 0.42;
    const std::array<Part, 7> parts{{
        {{-0.06, 0.0}, {-0.04, 0.36}, 0.045, 0.05, 0.0},
        {{0.08, 0.0}, {0.04, 0.36}, 0.045, 0.05, 0.0},
        {{0.0, 0.36}, {0.0, 0.7}, 0.13, 0.075, 0.0},
        {{0.0, 0.74}, {-0.005, 0.8}, 0.035, 0.035, 0.0},
        {{-0.015, 0.9}, {-0.015, 0.9}, 0.1, 0.1, 0.0},
        {Shoulder, pointing, 0.038, 0.03, 0.0},
        {{-0.05, 0.7}, Hand, 0.038, 0.03, 0.0},
    }};
    double d = 1e9;
    for (const Part& part : parts) d = std::min(d, capsule(q, part));
    return d * FigureHeight;
}

Vec2 lantern() {
    return figureFoot() + (Hand + Vec2{0.0, -0.08}) * FigureHeight;
}

Vec3 milkyWay(Vec2 p) {
    // Coordinates along and across the band, which runs up to the right.
    Vec2 q = rotate(p - Vec2{0.3, 0.62}, -1.05);
    double across = q.y + 0.05 * (fbm({q.x * 2.0, 0.3}, 3, 0.5, 101) - 0.5);
    double band = dmath::exp(-across * across / 0.012);
    double clouds = fbm({q.x * 5.0, q.y * 7.0}, 6, 0.55, 102);
    double rift = smoothstep(0.55, 0.75, fbm({q.x * 4.0, q.y * 16.0 + 3.0}, 5, 0.55, 103)) *
                  dmath::exp(-across * across / 0.002);
    double core = dmath::exp(-length(p - Vec2{0.36, 0.7}) / 0.25);
    double glow = band * (0.35 + 0.9 * clouds * clouds) * (1.0 - 0.8 * rift) * (0.6 + core);
    Vec3 tint = mix(srgb(0x7a6cd8), srgb(0xffd2a0), smoothstep(0.3, 0.9, clouds) * band);
    double nebula = smoothstep(0.6, 0.8, fbm({q.x * 3.0 + 7.0, q.y * 5.0}, 4, 0.5, 104)) * band;
    return tint * (0.2 * glow) + srgb(0xd0508a) * (0.07 * nebula);
}

Vec3 starField(Vec2 p, double density) {
    constexpr double Cell = 0.0075;
    auto cx = static_cast<int32_t>(dmath::floorOf(p.x / Cell));
    auto cy = static_cast<int32_t>(dmath::floorOf(p.y / Cell));
    double chance = hash01(cx, cy, 111);
    double threshold = 0.86 - 0.3 * density;
    if (chance < threshold) return {};
    Vec2 star{(cx + 0.2 + 0.6 * hash01(cx, cy, 112)) * Cell,
              (cy + 0.2 + 0.6 * hash01(cx, cy, 113)) * Cell};
    double d = length(p - star) / 0.0009;
    double t = (chance - threshold) / (1.0 - threshold);
    Vec3 tint = mix(srgb(0xffcf9a), srgb(0xaac4ff), hash01(cx, cy, 114));
    return tint * ((0.1 + 1.5 * t * t * t * t) * dmath::exp(-d * d));
}

// A few bright stars with four-pointed spikes; the first is the one the figure shows.
constexpr std::array<Vec3, 4> BrightStars{{
    {TargetStar.x, TargetStar.y, 1.0},
    {0.12, 0.88, 0.5},
    {0.6, 0.58, 0.35},
    {0.07, 0.64, 0.3},
}};

Vec3 brightStars(Vec2 p) {
    double light = 0.0;
    for (const Vec3& s : BrightStars) {
        Vec2 d = p - Vec2{s.x, s.y};
        double r = length(d);
        if (r > 0.1) continue;
        double spikes = dmath::exp(-std::abs(d.x) / 0.001) + dmath::exp(-std::abs(d.y) / 0.001);
        light += s.z * (0.9 * dmath::exp(-r / 0.0025) + 0.12 * dmath::exp(-r / 0.02) +
                        0.5 * spikes * dmath::exp(-r / 0.015));
    }
    return srgb(0xdce8ff) * light;
}

Vec3 sky(Vec2 p) {
    Vec3 c = gradient(std::array<ColourStop, 4>{{{0.0, srgb(0x3a3a5c)},
                                                 {0.18, srgb(0x1a2250)},
                                                 {0.5, srgb(0x0a0f2c)},
                                                 {1.0, srgb(0x03040d)}}},
                      p.y);
    Vec3 way = milkyWay(p);
    double density = clamp01((way.x + way.y + way.z) * 4.0);
    return c + way + starField(p, density) + brightStars(p);
}

// The giant's surface normal at p: each part is a rounded limb whose normal leans out from
// its axis; the normals of the parts nearest the surface are blended smoothly.
Vec3 giantNormal(Vec2 p) {
    Vec3 sum;
    for (const Part& part : Giant) {
        Vec2 e = part.b - part.a;
        double t = clamp01(dot(p - part.a, e) / dot(e, e));
        double radius = mix(part.ra, part.rb, t);
        Vec2 out = (p - (part.a + e * t)) * (1.0 / radius);
        double reach = length(out);
        if (reach > 1.0) out = out * (1.0 / reach);
        double weight = dmath::exp(-(reach - 1.0) * radius / 0.012);
        Vec3 n{out.x, out.y, std::sqrt(std::max(0.0, 1.0 - dot(out, out)))};
        sum = sum + n * weight;
    }
    return normalize(sum);
}

// Light on the giant's stone at p.
Vec3 stone(Vec2 p) {
    Vec3 n = giantNormal(p);
    Vec3 skyDirection = normalize(Vec3{0.3, 0.8, 0.45});
    double skyLight = clamp01(dot(n, skyDirection));
    double rim = dmath::pow(1.0 - n.z, 3.0) * clamp01(n.y * 0.9 + 0.35);
    Vec2 lamp = lantern();
    Vec3 toLantern{lamp.x - p.x, lamp.y - p.y, 0.02};
    double lanternDistance = length(toLantern);
    double warm = clamp01(dot(n, toLantern * (1.0 / lanternDistance))) /
                  (1.0 + lanternDistance * lanternDistance / 0.0012);
    double grain = fbm({p.x * 50.0, p.y * 50.0}, 4, 0.55, 121);
    double weathering = fbm({p.x * 9.0, p.y * 6.0}, 4, 0.5, 122);
    Vec3 rock = mix(srgb(0x1c2236), srgb(0x2a2a33), weathering) * (0.75 + 0.5 * grain);
    return rock * (0.3 + 1.1 * skyLight) + srgb(0x8fa8ff) * (0.5 * rim) +
           srgb(0xffa040) * (0.9 * warm);
}

double mist(Vec2 p) {
    double n = fbm({p.x * 4.0, p.y * 14.0}, 4, 0.5, 131);
    return smoothstep(0.24, 0.05, p.y) * (0.55 + 0.45 * n);
}

} // namespace

Vec3 shadeGiantsShoulders(Vec2 p) {
    Vec3 c;
    double d = giant(p);
    if (d < 0.0) {
        c = stone(p);
    } else {
        c = sky(p) + srgb(0x8fa8ff) * (0.04 * dmath::exp(-d / 0.01));
    }
    double lamp = length(p - lantern());
    double f = figure(p);
    if (f < 0.0) c = srgb(0x05060c) + srgb(0xffa040) * (0.5 * dmath::exp(f / 0.0015 - lamp / 0.02));
    c = c + srgb(0xffb050) * (1.6 * dmath::exp(-lamp / 0.0025) + 0.12 * dmath::exp(-lamp / 0.012));
    c = mix(c, srgb(0x2c3660), mist(p));
    double hills = 0.05 + 0.03 * dmath::sin(p.x * 6.0 + 1.0) +
                   0.02 * (fbm({p.x * 8.0, 0.0}, 4, 0.5, 141) - 0.5);
    if (p.y < hills) c = srgb(0x04050b);
    return c;
}

} // namespace veloria::pictures
