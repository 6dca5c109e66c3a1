// The 16 console colours as RGB, in attribute order: the palette of current Windows consoles.
#pragma once

namespace veloria {

inline constexpr unsigned char ConsolePalette[16][3] = {
    {12, 12, 12},  {0, 55, 218},    {19, 161, 14},   {58, 150, 221},  {197, 15, 31}, {136, 23, 152},
    {193, 156, 0}, {204, 204, 204}, {118, 118, 118}, {59, 120, 255},  {22, 198, 12}, {97, 214, 214},
    {231, 72, 86}, {180, 0, 158},   {249, 241, 165}, {242, 242, 242},
};

} // namespace veloria
