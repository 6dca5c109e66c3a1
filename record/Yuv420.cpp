#include "record/Yuv420.h"

#include <algorithm>

namespace veloria {
namespace {

// BT.709 in fixed point (16 fractional bits), scaled to the limited range: 219 steps of
// luma from 16, 224 of each colour difference around 128.
constexpr int LumaR = 11966, LumaG = 40254, LumaB = 4064;
constexpr int BlueR = -6597, BlueG = -22187, BlueB = 28784;
constexpr int RedR = 28784, RedG = -26148, RedB = -2636;

int red(ColorValue c) {
    return static_cast<int>(redOf(c));
}
int green(ColorValue c) {
    return static_cast<int>(greenOf(c));
}
int blue(ColorValue c) {
    return static_cast<int>(blueOf(c));
}

std::uint8_t luma(ColorValue c) {
    return static_cast<std::uint8_t>(
        16 + ((LumaR * red(c) + LumaG * green(c) + LumaB * blue(c) + (1 << 15)) >> 16));
}

} // namespace

void convertToYuv420(const ColorValue* pixels, int width, int height, Rect area,
                     const Yuv420Planes& planes) {
    const int left = std::max(0, area.x) & ~1, top = std::max(0, area.y) & ~1;
    const int right = std::min(width, (area.x + area.width + 1) & ~1);
    const int bottom = std::min(height, (area.y + area.height + 1) & ~1);
    for (int y = top; y < bottom; y += 2) {
        const ColorValue* upper = pixels + static_cast<std::ptrdiff_t>(y) * width;
        const ColorValue* lower = upper + width;
        std::uint8_t* lumaUpper = planes.luma + static_cast<std::ptrdiff_t>(y) * planes.lumaStride;
        std::uint8_t* lumaLower = lumaUpper + planes.lumaStride;
        const std::ptrdiff_t chromaRow = static_cast<std::ptrdiff_t>(y / 2) * planes.chromaStride;
        for (int x = left; x < right; x += 2) {
            const ColorValue block[4] = {upper[x], upper[x + 1], lower[x], lower[x + 1]};
            lumaUpper[x] = luma(block[0]);
            lumaUpper[x + 1] = luma(block[1]);
            lumaLower[x] = luma(block[2]);
            lumaLower[x + 1] = luma(block[3]);
            int r = 0, g = 0, b = 0;
            for (ColorValue c : block) r += red(c), g += green(c), b += blue(c);
            // The sums are four times the average: two more fractional bits.
            constexpr int Half = 1 << 17;
            planes.blueDifference[chromaRow + x / 2] =
                static_cast<std::uint8_t>(128 + ((BlueR * r + BlueG * g + BlueB * b + Half) >> 18));
            planes.redDifference[chromaRow + x / 2] =
                static_cast<std::uint8_t>(128 + ((RedR * r + RedG * g + RedB * b + Half) >> 18));
        }
    }
}

} // namespace veloria
