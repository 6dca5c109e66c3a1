// A night over rolling hills. The moon shines through a thin veil of cloud, whose droplets
// diffract its light into a corona: a pale aureole and rings of colour, computed from the
// Airy pattern of a droplet for many wavelengths. A lit window glows in a house on a hill.
#include "media/pictures/Scenes.h"

#include <array>
#include <vector>

namespace veloria::pictures {

namespace {

constexpr Vec2 MoonCentre{0.64, 0.66};
constexpr double MoonRadius = 0.036;

// The corona: at picture distance r from the moon, the phase of the Airy pattern for
// wavelength lambda (micrometres) and droplet size s is RingScale * s * r / lambda.
constexpr double RingScale = 19.0;
constexpr double CoronaReach = 0.52;
constexpr int CoronaSteps = 1024;
constexpr std::array<double, 5> DropletSizes{0.84, 0.92, 1.0, 1.08, 1.16};

// J1, the Bessel function of order one, from its integral over a full period,
// J1(x) = 1/(2 pi) * integral of cos(t - x sin t), which the trapezoid rule sums exactly
// enough with a few more points than x.
double besselJ1(double x) {
    constexpr int Points = 160;
    double sum = 0.0;
    for (int i = 0; i < Points; ++i) {
        double t = dmath::TwoPi * i / Points;
        sum += dmath::cos(t - x * dmath::sin(t));
    }
    return sum / Points;
}

// Colour of the diffracted light at each step of distance from the moon, white balanced.
std::vector<Vec3> coronaTable() {
    constexpr int Bands = 36;
    constexpr double MaxPhase = 40.0, PhaseStep = 0.01;
    std::vector<double> airy(static_cast<size_t>(MaxPhase / PhaseStep) + 2);
    for (size_t i = 0; i < airy.size(); ++i) {
        double x = i * PhaseStep;
        double a = x < 1e-9 ? 1.0 : 2.0 * besselJ1(x) / x;
        airy[i] = a * a;
    }
    auto airyAt = [&](double x) {
        double f = x / PhaseStep;
        auto i = static_cast<size_t>(f);
        if (i + 1 >= airy.size()) return 0.0;
        return mix(airy[i], airy[i + 1], f - i);
    };
    std::array<Vec3, Bands> colours;
    Vec3 white;
    for (int k = 0; k < Bands; ++k) {
        colours[k] = spectralColour(400.0 + 300.0 * (k + 0.5) / Bands);
        white = white + colours[k];
    }
    std::vector<Vec3> table(CoronaSteps);
    for (int step = 0; step < CoronaSteps; ++step) {
        double r = CoronaReach * step / (CoronaSteps - 1);
        Vec3 sum;
        for (int k = 0; k < Bands; ++k) {
            double um = (400.0 + 300.0 * (k + 0.5) / Bands) / 1000.0;
            double intensity = 0.0;
            for (double size : DropletSizes) intensity += airyAt(RingScale * size * r / um);
            sum = sum + colours[k] * intensity;
        }
        Vec3 balanced{sum.x / white.x, sum.y / white.y, sum.z / white.z};
        table[step] = balanced * (1.0 / DropletSizes.size());
    }
    return table;
}

// The corona's light at distance r. Its brightness is compressed (the rings are a hundred
// times fainter than the aureole) and its colours made more vivid, as the eye sees them.
Vec3 corona(double r) {
    static const std::vector<Vec3> table = coronaTable();
    if (r >= CoronaReach) return {};
    double f = r / CoronaReach * (CoronaSteps - 1);
    auto i = static_cast<size_t>(f);
    Vec3 c = i + 1 < table.size() ? mix(table[i], table[i + 1], f - i) : table[i];
    double luminance = 0.2126 * c.x + 0.7152 * c.y + 0.0722 * c.z;
    if (luminance <= 0.0) return {};
    Vec3 hue = c * (1.0 / luminance);
    Vec3 vivid = mix(Vec3{1.0, 1.0, 1.0}, hue, 1.8);
    vivid = {std::max(vivid.x, 0.0), std::max(vivid.y, 0.0), std::max(vivid.z, 0.0)};
    return vivid * (dmath::pow(luminance, 0.42) * smoothstep(CoronaReach, CoronaReach * 0.5, r));
}

// The thin cloud veil: optical depth in [0, 1], thickest around the moon.
double veil(Vec2 p) {
    double n = fbm({p.x * 2.6, p.y * 4.5}, 5, 0.55, 17);
    double ripples = fbm({p.x * 9.0 + p.y * 3.0, p.y * 16.0}, 3, 0.5, 29);
    double around = smoothstep(0.6, 0.1, length(p - MoonCentre));
    double sheet = clamp01((n - 0.3 - 0.1 * ripples) * 2.5);
    return clamp01(sheet * (0.35 + 0.75 * around) + 0.15 * around);
}

Vec3 stars(Vec2 p) {
    constexpr double Cell = 0.012;
    auto cx = static_cast<int32_t>(dmath::floorOf(p.x / Cell));
    auto cy = static_cast<int32_t>(dmath::floorOf(p.y / Cell));
    double chance = hash01(cx, cy, 61);
    if (chance < 0.6) return {};
    Vec2 star{(cx + 0.15 + 0.7 * hash01(cx, cy, 62)) * Cell,
              (cy + 0.15 + 0.7 * hash01(cx, cy, 63)) * Cell};
    double d = length(p - star) / 0.0011;
    double bright = dmath::pow((chance - 0.6) / 0.4, 4.0) * 2.5;
    Vec3 tint = mix(srgb(0xffd9b0), srgb(0xb8ccff), hash01(cx, cy, 64));
    return tint * (bright * dmath::exp(-d * d));
}

Vec3 moonDisc(Vec2 p) {
    Vec2 q = (p - MoonCentre) * (1.0 / MoonRadius);
    double maria = fbm({q.x * 1.6 + 4.0, q.y * 1.6 + 2.0}, 4, 0.55, 71);
    double limb = std::sqrt(clamp01(1.0 - dot(q, q)));
    return srgb(0xfff6e0) * ((2.2 - 1.1 * smoothstep(0.45, 0.7, maria)) * (0.75 + 0.25 * limb));
}

Vec3 sky(Vec2 p) {
    Vec3 c = mix(srgb(0x1e3060), srgb(0x050818), smoothstep(0.15, 1.0, p.y));
    double r = length(p - MoonCentre);
    if (r < MoonRadius) return moonDisc(p);
    double cloud = veil(p);
    c = c * (1.0 - 0.5 * cloud);
    c = c + stars(p) * ((1.0 - cloud) * (1.0 - cloud) * smoothstep(0.06, 0.2, r));
    Vec3 moonlight = srgb(0xdfe8ff) * (0.3 * dmath::exp(-r / 0.03) + 0.06 * dmath::exp(-r / 0.2));
    // The veil scatters moonlight: silver everywhere, the corona's colours near the moon.
    return c + moonlight + (srgb(0x8090b8) * 0.08 + corona(r) * 0.5) * cloud;
}

// A range of hills: its crest is a base line, a tilt, one broad swell and some roughness.
struct Hill {
    double base, tilt, swellAt, swellHeight, swellWidth, roughness;
    uint32_t seed;
    uint32_t colour;
};

constexpr std::array<Hill, 3> Hills{{
    {0.2, 0.02, 0.75, 0.05, 0.3, 0.035, 81, 0x1c2a4e},
    {0.1, -0.03, 0.28, 0.11, 0.26, 0.02, 82, 0x0f1730},
    {0.03, 0.1, 1.0, 0.05, 0.2, 0.015, 83, 0x060912},
}};

double crest(const Hill& h, double x) {
    double s = (x - h.swellAt) / h.swellWidth;
    return h.base + h.tilt * x + h.swellHeight * dmath::exp(-s * s) +
           h.roughness * (fbm({x * 7.0, 0.5}, 4, 0.5, h.seed) - 0.5);
}

// Pines on the near hill: where they stand and how tall they are.
constexpr std::array<Vec2, 4> Pines{{{0.84, 0.13}, {0.9, 0.2}, {0.955, 0.15}, {0.99, 0.1}}};

bool inPine(Vec2 p, Vec2 pine) {
    if (std::abs(p.x - pine.x) > 0.35 * pine.y || p.y > 0.45) return false;
    double foot = crest(Hills[2], pine.x) - 0.01;
    double h = (p.y - foot) / pine.y; // 0 at the foot, 1 at the tip
    if (h < 0.0 || h > 1.0) return false;
    double dx = std::abs(p.x - pine.x);
    if (h < 0.12) return dx < 0.004;
    double tier = (h - 0.12) * 6.0;
    tier -= dmath::floorOf(tier);
    double halfWidth = (1.0 - h) * pine.y * (0.2 + 0.12 * (1.0 - tier));
    double jag = 0.004 * (valueNoise({p.y * 400.0, pine.x * 50.0}, 85) - 0.5);
    return dx < halfWidth + jag;
}

// The house on the middle hill: walls, a pitched roof, a chimney, a television aerial on
// the ridge, and two lit windows.
constexpr double HouseX = 0.28, HouseWidth = 0.066, HouseWall = 0.036, HouseRoof = 0.032;

struct Box {
    Vec2 low, high;
};
constexpr std::array<Box, 2> Windows{{
    {{-0.022, 0.011}, {-0.008, 0.024}},
    {{0.006, 0.011}, {0.02, 0.024}},
}};

bool inside(Vec2 p, Box b) {
    return p.x >= b.low.x && p.x <= b.high.x && p.y >= b.low.y && p.y <= b.high.y;
}

bool inHouse(Vec2 q) { // q relative to the middle of the house's foot
    double dx = std::abs(q.x);
    if (dx <= HouseWidth / 2 && q.y >= 0.0 && q.y <= HouseWall) return true;
    double roof = q.y - HouseWall;
    if (roof > 0.0 && roof < HouseRoof * (1.0 - dx / (HouseWidth / 2 + 0.008))) return true;
    if (q.x > 0.013 && q.x < 0.021 && roof > 0.0 && roof < HouseRoof * 0.95) return true;
    double mast = roof - HouseRoof;
    if (std::abs(q.x + 0.01) < 0.0009 && mast > -0.005 && mast < 0.034) return true;
    for (double bar : {0.016, 0.024, 0.031}) {
        if (std::abs(mast - bar) < 0.0008 && std::abs(q.x + 0.01) < 0.016 - bar * 0.25) {
            return true;
        }
    }
    return false;
}

// Where the house stands: the middle of its foot.
Vec2 houseFoot() {
    static const Vec2 foot{HouseX, crest(Hills[1], HouseX) - 0.006};
    return foot;
}

// The window glow around the house.
Vec3 windowGlow(Vec2 p) {
    Vec2 q = p - houseFoot();
    if (dot(q, q) > 0.04) return {};
    double glow = 0.0;
    for (const Box& w : Windows) glow += dmath::exp(-length(q - (w.low + w.high) * 0.5) / 0.025);
    return srgb(0xffb352) * (0.12 * glow);
}

} // namespace

Vec3 shadeMoonCorona(Vec2 p) {
    // Front to back: the pines, the house, the hills from near to far, the sky.
    for (Vec2 pine : Pines) {
        if (inPine(p, pine)) return srgb(0x030509);
    }
    Vec2 q = p - houseFoot();
    if (inHouse(q)) {
        for (const Box& w : Windows) {
            if (inside(q, w)) return srgb(0xffb352) * 2.0;
        }
        return srgb(0x05070e);
    }
    for (size_t i = Hills.size(); i-- > 0;) {
        const Hill& h = Hills[i];
        double top = crest(h, p.x);
        if (p.y >= top) continue;
        double rim = dmath::exp(-(top - p.y) / 0.003) * 0.05;
        double haze = dmath::exp(-(top - p.y) / 0.05) * 0.4;
        return srgb(h.colour) * (0.8 + haze) + srgb(0x9fb4ff) * rim + windowGlow(p);
    }
    return sky(p) + windowGlow(p);
}

} // namespace veloria::pictures
