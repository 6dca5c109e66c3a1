// The video's colour conversion: RGB pixels to the BT.709 limited-range Y'CbCr 4:2:0 planes
// that H.264 and VP9 take. Only the area of a picture that changed is converted again; the
// planes keep the rest from the pictures before.
#pragma once

#include "terminal/ColorValue.h"
#include "terminal/PixelSurface.h"

#include <cstdint>

namespace veloria {

struct Yuv420Planes {
    std::uint8_t* luma;
    int lumaStride;
    std::uint8_t* blueDifference;
    std::uint8_t* redDifference;
    int chromaStride;
};

// Converts `area` of the width x height pixels (rows without gaps), widened to even edges so
// that it covers whole 2 x 2 blocks, each block's colour differences taken from its average.
// width and height are even.
void convertToYuv420(const ColorValue* pixels, int width, int height, Rect area,
                     const Yuv420Planes& planes);

} // namespace veloria
