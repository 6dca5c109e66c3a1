#include "terminal/CutAtCursorMoves.h"

namespace veloria {
namespace {

bool isContinuationByte(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// Whether a cursor position, ESC [ digits ; digits H, begins at `at`.
bool cursorPositionAt(std::string_view bytes, std::size_t at) {
    if (bytes.substr(at, 2) != "\x1b[") return false;
    std::size_t end = bytes.find_first_not_of("0123456789;", at + 2);
    return end != std::string_view::npos && bytes[end] == 'H';
}

} // namespace

std::size_t cellsOf(std::string_view bytes) {
    std::size_t cells = 0;
    for (char byte : bytes) cells += !isContinuationByte(byte);
    return cells;
}

std::size_t pieceLength(std::string_view bytes, std::size_t room) {
    std::size_t cells = 0, cut = 0, at = 0;
    for (; at < bytes.size(); ++at) {
        if (isContinuationByte(bytes[at])) continue;
        if (at > 0 && cursorPositionAt(bytes, at)) cut = at;
        if (++cells > room) return cut;
    }
    return at;
}

} // namespace veloria
