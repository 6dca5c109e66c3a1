#include "media/slides/ArtSlides.h"

#include <gtest/gtest.h>

#include <set>

namespace veloria {
namespace {

struct SlideCase {
    const char* name;
    const std::vector<std::string>* lines;
    size_t rows;
    std::string_view characters; // the slide uses each of these and no other
};

const SlideCase Slides[] = {
    {"ArtSlide1", &ArtSlide1, 51, ".',;:clodxkO0KXN"},
    {"ArtSlide2", &ArtSlide2, 68, " .:^~!7?JY5PG#&@B"},
    {"ArtSlide3", &ArtSlide3, 65, " .:^~!7?JY5PG#&@B"},
};

TEST(ArtSlides, HaveTheirSizeAndExactlyTheirCharacterSet) {
    for (const SlideCase& slide : Slides) {
        SCOPED_TRACE(slide.name);
        ASSERT_EQ(slide.lines->size(), slide.rows);
        std::set<char> used;
        for (size_t row = 0; row < slide.rows; ++row) {
            const std::string& line = (*slide.lines)[row];
            EXPECT_EQ(line.size(), 150u) << "line " << row + 1;
            for (const char c : line) {
                EXPECT_NE(slide.characters.find(c), std::string_view::npos)
                    << "line " << row + 1 << " has '" << c << "'";
                used.insert(c);
            }
        }
        EXPECT_EQ(used, std::set<char>(slide.characters.begin(), slide.characters.end()));
    }
}

TEST(ArtSlides, TitleBandsAreSeparatedByLinesOfFullStops) {
    for (const size_t line : {17u, 18u, 35u}) {
        EXPECT_EQ(ArtSlide1[line - 1], std::string(150, '.')) << "line " << line;
    }
}

} // namespace
} // namespace veloria
