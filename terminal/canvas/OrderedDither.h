// The 8 x 8 Bayer matrix of ordered dithering: at each position of a tile, the share (in
// 64ths) of the tile's positions whose threshold lies below it, so that a value between two
// levels rounds up at that share of the positions, spread evenly.
#pragma once

#include <array>

namespace veloria {

inline constexpr std::array<std::array<int, 8>, 8> Bayer{{
    {0, 32, 8, 40, 2, 34, 10, 42},
    {48, 16, 56, 24, 50, 18, 58, 26},
    {12, 44, 4, 36, 14, 46, 6, 38},
    {60, 28, 52, 20, 62, 30, 54, 22},
    {3, 35, 11, 43, 1, 33, 9, 41},
    {51, 19, 59, 27, 49, 17, 57, 25},
    {15, 47, 7, 39, 13, 45, 5, 37},
    {63, 31, 55, 23, 61, 29, 53, 21},
}};

} // namespace veloria
