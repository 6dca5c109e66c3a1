// What a terminal sent, read back from the key events a Windows console makes of it. Windows'
// own consoles report an escape character as a key of its own; Wine's console, inside a
// terminal, reports ESC x as x typed with Alt held.
#pragma once

#include <span>
#include <string>

namespace veloria {

struct ConsoleKey {
    char16_t character = 0; // 0 for keys that type nothing (Alt, Shift)
    bool down = false;
    bool alt = false;
};

std::string textOfKeys(std::span<const ConsoleKey> keys);

} // namespace veloria
