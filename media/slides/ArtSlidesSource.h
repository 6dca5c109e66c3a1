// Writes the C++ source that defines the slides as constants of the program: one string
// literal per line, escaped so that the compiler reads back exactly the characters given.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace veloria::slides {

struct NamedSlide {
    std::string_view name; // the constant's name in namespace veloria
    std::vector<std::string> lines;
};

// A C++ string literal, quotes included, that denotes exactly text. Backslashes and quotes
// are escaped, and so is every question mark, so that no run of them reads as a trigraph.
std::string cppStringLiteral(std::string_view text);

// A source file defining each slide as `const std::vector<std::string> <name>` in namespace
// veloria, as declared by media/slides/ArtSlides.h.
std::string artSlidesSource(const std::vector<NamedSlide>& slides);

} // namespace veloria::slides
