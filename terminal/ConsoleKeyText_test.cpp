#include "terminal/ConsoleKeyText.h"

#include "terminal/TerminalReplies.h"

#include <gtest/gtest.h>
#include <vector>

namespace veloria {
namespace {

// The key events for text as a console reports it: each character pressed and released, and
// ESC either as a key of its own or as Alt held over the next character.
std::vector<ConsoleKey> keysFor(std::u16string_view text, bool escapeAsAlt) {
    std::vector<ConsoleKey> keys;
    bool alt = false;
    for (char16_t c : text) {
        if (c == u'\x1b' && escapeAsAlt) {
            keys.push_back({0, true, true}); // Alt itself, which types nothing
            alt = true;
            continue;
        }
        keys.push_back({c, true, alt});
        keys.push_back({c, false, alt});
        alt = false;
    }
    return keys;
}

TEST(ConsoleKeyText, TheAnswersAreReadFromEitherConsole) {
    const std::u16string answers = u"\x1b[?1;2c";
    for (bool escapeAsAlt : {false, true}) {
        std::vector<ConsoleKey> keys = keysFor(answers, escapeAsAlt);
        std::string text = textOfKeys(keys);
        EXPECT_EQ(text, "\x1b[?1;2c") << (escapeAsAlt ? "Wine" : "Windows");
        EXPECT_TRUE(parseTerminalReplies(text).attributesSeen);
    }
}

TEST(ConsoleKeyText, OnlyCharactersPressedCount) {
    const ConsoleKey keys[] = {
        {u'a', false, false}, // a release
        {0, true, false},     // Shift
        {u'\u0436', true, false},
    };
    EXPECT_EQ(textOfKeys(keys), "\xd0\xb6");
}

} // namespace
} // namespace veloria
