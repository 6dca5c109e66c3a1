#include "terminal/ConsoleKeyText.h"

namespace veloria {

std::string textOfKeys(std::span<const ConsoleKey> keys) {
    std::string text;
    for (const ConsoleKey& key : keys) {
        if (!key.down || key.character == 0) continue;
        if (key.alt) text += '\x1b';
        char16_t c = key.character;
        // Answers are ASCII; anything else is kept as UTF-8, so that it cannot pass for ASCII.
        if (c < 0x80) {
            text += static_cast<char>(c);
        } else if (c < 0x800) {
            text += static_cast<char>(0xC0 | (c >> 6));
            text += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            text += static_cast<char>(0xE0 | (c >> 12));
            text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            text += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return text;
}

} // namespace veloria
