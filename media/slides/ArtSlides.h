// The three character-art slides of the show, generated at build time by draw_slides.
// Every line holds exactly 150 printable ASCII characters; lines run top to bottom.
#pragma once

#include <string>
#include <vector>

namespace veloria {

// The three character-art slides: lines of exactly 150 printable ASCII characters, top to bottom.
extern const std::vector<std::string> ArtSlide1; // 51 lines
extern const std::vector<std::string> ArtSlide2; // 68 lines
extern const std::vector<std::string> ArtSlide3; // 65 lines

} // namespace veloria
