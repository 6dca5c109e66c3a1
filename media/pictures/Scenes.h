// The shaders of the five pictures (see Pictures.h for the coordinates and the units).
// Each is a pure function of the point: painting any part of a picture gives the same bits.
#pragma once

#include "media/pictures/ShadingMath.h"

namespace veloria::pictures {

// A three-inch diskette on a chessboard floor, a drive's light beam through its index hole.
Vec3 shadeDisketteScene(Vec2 p);
// A night sky over hills, the moon in a veil of cloud ringed by its rainbow corona.
Vec3 shadeMoonCorona(Vec2 p);
// The sun rising out of the sea between mountains, its glitter path on the waves.
Vec3 shadeSunrise(Vec2 p);
// A glass prism in the dark splitting a white beam into a fan of spectral colours.
Vec3 shadePrism(Vec2 p);
// A small figure on a stone giant's shoulder, pointing at the Milky Way.
Vec3 shadeGiantsShoulders(Vec2 p);

} // namespace veloria::pictures
