// Output for a console that takes escape sequences as text: Wine's console, run inside a
// terminal, keeps every character written as a cell of its own screen buffer and passes the
// cells on to the terminal as they are, so the terminal still reads the sequences; but when a
// line of its buffer is full it starts a new one, which would cut a sequence in two. So output
// goes to it in pieces that each fit in what is left of a line, cut only where a cursor
// position (CSI row;column H) begins: after one, nothing depends on where the cursor was.
#pragma once

#include <cstddef>
#include <string_view>

namespace veloria {

// The cells that UTF-8 bytes fill in such a console: one for each character, whatever it is.
std::size_t cellsOf(std::string_view bytes);

// How many of the bytes make the next piece, which fills at most `room` cells: all of them
// where they fit, else those before the last cursor position that begins within the room; 0
// where none begins there after the first byte.
std::size_t pieceLength(std::string_view bytes, std::size_t room);

} // namespace veloria
