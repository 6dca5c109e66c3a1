#include "media/pictures/Painter.h"

#include <array>

namespace veloria::pictures {

namespace {

// One sample in each cell of a 3 x 3 grid, no two sharing a column or row of a 9 x 9 grid,
// so edges at any angle get nine distinct coverage steps.
constexpr std::array<Vec2, 9> SampleOffsets{{
    {0.21, 0.13},
    {0.52, 0.27},
    {0.87, 0.06},
    {0.09, 0.47},
    {0.41, 0.61},
    {0.74, 0.39},
    {0.27, 0.91},
    {0.62, 0.79},
    {0.95, 0.71},
}};

// Identity up to the knee, then an exponential approach to 1, so bright glows keep a
// gradient instead of clipping flat.
double rollOff(double c) {
    constexpr double Knee = 0.8;
    if (c <= Knee) return c > 0.0 ? c : 0.0;
    return Knee + (1.0 - Knee) * (1.0 - dmath::exp(-(c - Knee) / (1.0 - Knee)));
}

double encodeSrgb(double linear) {
    return linear <= 0.0031308 ? 12.92 * linear : 1.055 * dmath::pow(linear, 1.0 / 2.4) - 0.055;
}

// Triangular dither of one step either way breaks up banding in slow gradients.
uint8_t quantise(double value, int x, int y, uint32_t channel) {
    double noise = hash01(x, y, channel) + hash01(x, y, channel + 3) - 1.0;
    double level = value * 255.0 + noise + 0.5;
    if (level <= 0.0) return 0;
    if (level >= 255.0) return 255;
    return static_cast<uint8_t>(level);
}

Rgb8 paintPixel(const Picture& picture, int x, int y) {
    const double scale = 1.0 / picture.height;
    Vec3 sum;
    for (Vec2 offset : SampleOffsets) {
        Vec2 p{(x + offset.x) * scale, 1.0 - (y + offset.y) * scale};
        sum = sum + picture.shade(p);
    }
    Vec3 c = sum * (1.0 / SampleOffsets.size());
    return {quantise(encodeSrgb(rollOff(c.x)), x, y, 1),
            quantise(encodeSrgb(rollOff(c.y)), x, y, 2),
            quantise(encodeSrgb(rollOff(c.z)), x, y, 3)};
}

} // namespace

Image paint(const Picture& picture, PixelRect area) {
    Image image(area.width, area.height);
    for (int y = 0; y < area.height; ++y) {
        for (int x = 0; x < area.width; ++x) {
            image.at(x, y) = paintPixel(picture, area.x + x, area.y + y);
        }
    }
    return image;
}

Image paint(const Picture& picture) {
    return paint(picture, {0, 0, picture.width, picture.height});
}

} // namespace veloria::pictures
