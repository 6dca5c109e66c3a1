// The three pictures of the show drawn as character art: each function returns the finished
// lines of one slide, SlideColumns characters each, from the ramp named beside it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace veloria::slides {

inline constexpr int SlideColumns = 150;

// Sparse to dense: the classic ramp of ASCII-art generators, full stop first.
inline constexpr std::string_view TitleRamp = ".',;:clodxkO0KXN";
// Sparse to dense, ordered by the ink each character covers in a monospaced font.
inline constexpr std::string_view PictureRamp = " .:~^!?7JY5PG&#B@";

// The title in big shaded letters on a field of full stops, in three bands of lettering.
std::vector<std::string> drawTitleSlide();
// A three-inch diskette above the drive it is going into, the drive's light glowing.
std::vector<std::string> drawDisketteSlide();
// A giant carrying a child on his shoulders, against a low moon with its halo ring.
std::vector<std::string> drawMoonSlide();

} // namespace veloria::slides
