// The sun rising out of the sea between two dark headlands: a warm sky with streaks of
// cloud, ridges rimmed with light, and the sun's glitter path broken on the waves.
#include "media/pictures/Scenes.h"

#include <array>

namespace veloria::pictures {

namespace {

constexpr double Horizon = 0.335;
constexpr Vec2 SunCentre{0.36, 0.378};
constexpr double SunRadius = 0.08;

const std::array<ColourStop, 7>& skyRamp() {
    static const std::array<ColourStop, 7> ramp{{
        {0.00, srgb(0xffd27a)},
        {0.06, srgb(0xffa24e)},
        {0.18, srgb(0xf0645a)},
        {0.36, srgb(0xa33d78)},
        {0.58, srgb(0x4a2c74)},
        {0.80, srgb(0x22225a)},
        {1.00, srgb(0x0e1238)},
    }};
    return ramp;
}

// A headland, near and dark or distant and pale with haze. Listed front to back.
struct Headland {
    double peakX, peakHeight, innerX; // the slope falls from the peak to the horizon at innerX
    uint32_t seed;
    bool distant;
};

constexpr std::array<Headland, 3> Headlands{{
    {0.02, 0.33, 0.27, 11, false},
    {0.70, 0.21, 0.47, 23, false},
    {0.58, 0.085, 0.40, 37, true},
}};

// The headland's ridge at x, as a height above the horizon; negative where it has ended.
double ridgeHeight(const Headland& h, double x) {
    double t = (x - h.innerX) / (h.peakX - h.innerX); // 0 at the shore, 1 at the peak
    if (t <= 0.0) return -1.0;
    double profile = t >= 1.0 ? 1.0 - 0.15 * (t - 1.0) : t * (1.6 - 0.6 * t);
    double rough = fbm({x * 9.0, 0.5}, 3, 0.5, h.seed) - 0.5;
    double crags = 0.0, weight = 1.0;
    for (int octave = 0; octave < 4; ++octave) {
        double n = valueNoise({x * 30.0 * (1 << octave), 1.5}, h.seed + 9 + octave);
        crags += weight * (1.0 - std::abs(2.0 * n - 1.0));
        weight *= 0.45;
    }
    double scale = t > 1.0 ? 1.0 : t;
    return h.peakHeight * profile + (0.08 * rough + 0.02 * crags) * scale;
}

Vec3 sunGlow(Vec2 p) {
    Vec2 d = p - SunCentre;
    double r = length(d);
    Vec3 warm = srgb(0xffb060);
    double halo = 1.1 * dmath::exp(-r / 0.05) + 0.45 * dmath::exp(-r / 0.2);
    double band = dmath::exp(-std::abs(p.y - Horizon) / 0.035) * dmath::exp(-std::abs(d.x) / 0.3);
    return warm * (halo + 0.6 * band);
}

// Thin streaks of cloud across the upper sky: density in [0, 1].
double cloudDensity(Vec2 p) {
    double n = fbm({p.x * 2.6 + 3.0, p.y * 17.0}, 5, 0.5, 5);
    double band = smoothstep(0.42, 0.52, p.y) * smoothstep(0.86, 0.7, p.y);
    double low = smoothstep(0.37, 0.4, p.y) * smoothstep(0.47, 0.42, p.y);
    return smoothstep(0.52, 0.7, n) * (band + 0.7 * low);
}

// The sky above the horizon; the sea's mirror leaves out the disc itself, which its waves
// break into the glitter path.
Vec3 sky(Vec2 p, bool withSunDisc) {
    Vec3 c = gradient(skyRamp(), (p.y - Horizon) / (1.0 - Horizon));
    Vec2 d = p - SunCentre;
    double r = length(d);
    if (withSunDisc && r < SunRadius) {
        double limb = 1.0 - 0.25 * (r / SunRadius) * (r / SunRadius);
        c = Vec3{2.4, 1.55, 0.75} * limb;
    } else {
        c = c + sunGlow(p);
    }
    double density = cloudDensity(p);
    if (density > 0.0) {
        double lit = dmath::exp(-r / 0.22);
        Vec3 cloud = mix(srgb(0x3a1d48), srgb(0xff8a5c), clamp01(0.25 + 1.1 * lit));
        cloud = cloud + srgb(0xffd8a0) * (1.6 * lit * lit);
        c = mix(c, cloud, 0.85 * density);
    }
    double stars = hash01(static_cast<int32_t>(p.x * 700.0), static_cast<int32_t>(p.y * 700.0), 3);
    if (stars > 0.998 && p.y > 0.72) c = c + Vec3{0.5, 0.5, 0.6} * smoothstep(0.72, 0.95, p.y);
    return c;
}

// A gull seen far off: two arcs meeting in a shallow V.
double gull(Vec2 p, Vec2 at, double span) {
    Vec2 q = (p - at) * (1.0 / span);
    double wing = std::abs(q.x);
    if (wing > 1.0) return 0.0;
    double arc = 0.35 * wing - 0.55 * wing * wing * wing + 0.12 * (1.0 - wing) * wing;
    double thickness = 0.09 * (1.0 - wing) + 0.025;
    return smoothstep(thickness, thickness * 0.5, std::abs(q.y - arc));
}

constexpr std::array<Vec3, 3> Gulls{{{0.2, 0.63, 0.022}, {0.255, 0.66, 0.016}, {0.5, 0.71, 0.012}}};

// Sky and headlands above the horizon; `p.y` must be at or above the horizon. The mirror
// image in the sea leaves out the sun's disc and the gulls.
Vec3 landscape(Vec2 p, bool direct) {
    Vec3 c = sky(p, direct);
    if (direct) {
        for (const Vec3& g : Gulls) c = mix(c, srgb(0x2a1530), gull(p, {g.x, g.y}, g.z));
    }
    for (size_t i = Headlands.size(); i-- > 0;) {
        const Headland& h = Headlands[i];
        double top = Horizon + ridgeHeight(h, p.x);
        if (p.y >= top) continue;
        double below = top - p.y;
        Vec3 glow = sunGlow({p.x, top});
        double strata = fbm({p.x * 14.0 + p.y * 9.0, p.y * 60.0}, 3, 0.5, h.seed + 40);
        Vec3 rock = h.distant ? mix(srgb(0x5a3060), gradient(skyRamp(), 0.05), 0.35)
                              : srgb(0x1c1026) * (0.75 + 0.5 * strata);
        double mist = h.distant ? 0.0 : smoothstep(0.07, 0.0, p.y - Horizon) * 0.3;
        Vec3 rim = glow * (1.2 * dmath::exp(-below / 0.003) + 0.2 * dmath::exp(-below / 0.03));
        c = mix(rock + rim, srgb(0xb0587a), mist);
    }
    return c;
}

Vec3 sea(Vec2 p) {
    double depth = Horizon - p.y;              // screen distance below the horizon
    double distance = 0.03 / (depth + 0.0005); // ground distance of this point
    Vec2 ground{(p.x - SunCentre.x) * distance * 6.0, distance * 1.5};
    double wave = fbm({ground.x * 0.8, ground.y * 9.0}, 4, 0.5, 77);
    double ripple = wave - 0.5;
    // The surface mirrors what lies above the horizon, shifted by the wave slope.
    Vec2 mirrored{p.x + ripple * 0.03 * depth, Horizon + depth * (1.0 + ripple * 1.6)};
    Vec3 c = landscape(mirrored, false) * 0.55;
    c = mix(c, srgb(0x1a1430), smoothstep(0.0, 0.3, depth) * 0.55);
    // Crests catch the sky in thin streaks that grow thicker towards the viewer.
    double crest = fbm({ground.x * 1.5, ground.y * 30.0}, 3, 0.5, 83);
    c = c * (0.8 + 0.45 * smoothstep(0.45, 0.75, crest));
    // Glitter: wave facets that tilt the sun into the eye, in a column widening forward.
    double column = std::abs(p.x - SunCentre.x) / (0.6 * SunRadius + 0.5 * depth);
    double path = dmath::exp(-column * column);
    double facet = smoothstep(0.5, 0.72, fbm({ground.x * 2.0, ground.y * 16.0}, 3, 0.5, 91));
    double nearSun = dmath::exp(-depth / 0.035);
    c = c + srgb(0xffc070) * (path * (facet + 0.8 * nearSun) * 3.0 * dmath::exp(-depth / 0.25));
    return c;
}

} // namespace

Vec3 shadeSunrise(Vec2 p) {
    return p.y >= Horizon ? landscape(p, true) : sea(p);
}

} // namespace veloria::pictures
