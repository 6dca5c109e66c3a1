#include "media/slides/ArtSlidesSource.h"

#include <gtest/gtest.h>

namespace veloria::slides {
namespace {

TEST(CppStringLiteral, EscapesWhatTheCompilerWouldReadDifferently) {
    const struct {
        std::string_view text;
        std::string_view literal;
    } cases[] = {
        {"..;:cl'", R"("..;:cl'")"},
        {R"(a"b)", R"("a\"b")"},
        {R"(a\b)", R"("a\\b")"},
        {"\?\?!\?\?'", R"("\?\?!\?\?'")"}, // would read as trigraphs
        {"", R"("")"},
    };
    for (const auto& c : cases) {
        const std::string text(c.text);
        EXPECT_EQ(cppStringLiteral(text), c.literal) << text;
    }
}

TEST(ArtSlidesSource, DefinesEachSlideAsAVectorOfLines) {
    const std::string source = artSlidesSource({{"First", {"ab", "c?"}}, {"Second", {}}});
    EXPECT_NE(source.find("#include \"media/slides/ArtSlides.h\"\n"), std::string::npos);
    EXPECT_NE(source.find("namespace veloria {\n"), std::string::npos);
    EXPECT_NE(source.find("const std::vector<std::string> First = {\n"
                          "    \"ab\",\n"
                          "    \"c\\?\",\n"
                          "};\n"),
              std::string::npos);
    EXPECT_NE(source.find("const std::vector<std::string> Second = {\n};\n"), std::string::npos);
}

} // namespace
} // namespace veloria::slides
