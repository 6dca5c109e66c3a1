// Turns a picture's shader into 8-bit pixels: nine stratified samples per pixel in a fixed
// pattern, averaged in linear light, a soft roll-off for highlights, sRGB encoding and a
// dither hashed from the pixel's position. Every pixel depends only on its own position,
// so a painted part equals the same part of the whole picture.
#pragma once

#include "media/pictures/Image.h"
#include "media/pictures/Pictures.h"

namespace veloria::pictures {

// A rectangle of pixels, x and y counted from the picture's top-left corner.
struct PixelRect {
    int x, y, width, height;
};

Image paint(const Picture& picture, PixelRect area);
Image paint(const Picture& picture);

} // namespace veloria::pictures
