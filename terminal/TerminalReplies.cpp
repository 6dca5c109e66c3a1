#include "terminal/TerminalReplies.h"

#include <cctype>
#include <charconv>
#include <vector>

namespace veloria {
namespace {

// The device attribute that stands for sixel graphics.
constexpr int SixelAttribute = 4;

std::vector<int> numbers(std::string_view text) {
    std::vector<int> values;
    while (true) {
        std::size_t end = text.find(';');
        int value = 0;
        std::string_view field = text.substr(0, end);
        std::from_chars(field.data(), field.data() + field.size(), value);
        values.push_back(value);
        if (end == std::string_view::npos) return values;
        text.remove_prefix(end + 1);
    }
}

void readControlSequence(std::string_view parameters, char final, TerminalReplies& replies) {
    if (parameters.empty() || parameters.front() != '?') return;
    for (char c : parameters.substr(1))
        if (!std::isdigit(static_cast<unsigned char>(c)) && c != ';') return;
    std::vector<int> values = numbers(parameters.substr(1));
    if (final == 'c') {
        replies.attributesSeen = true;
        // The first number is the terminal's class; the attributes follow.
        for (std::size_t i = 1; i < values.size(); ++i)
            if (values[i] == SixelAttribute) replies.sixelGraphics = true;
    } else if (final == 'S' && values.size() == 4 && values[0] == 2 && values[1] == 0 &&
               values[2] > 0 && values[3] > 0) {
        replies.graphicsLimit = GraphicsLimit{values[2], values[3]};
    }
}

void readKittyReply(std::string_view body, TerminalReplies& replies) {
    if (body == "Gi=31;OK") replies.kittyGraphics = true;
}

} // namespace

TerminalReplies parseTerminalReplies(std::string_view received) {
    TerminalReplies replies;
    std::size_t at = 0;
    while ((at = received.find('\x1b', at)) != std::string_view::npos) {
        if (at + 1 >= received.size()) break;
        char kind = received[at + 1];
        if (kind == '[') {
            // CSI: parameter and intermediate bytes, then one final byte in @ ... ~.
            std::size_t end = at + 2;
            while (end < received.size() && (received[end] < 0x40 || received[end] > 0x7E) &&
                   received[end] != '\x1b')
                ++end;
            if (end >= received.size()) break; // the rest has not arrived yet
            if (received[end] != '\x1b')
                readControlSequence(received.substr(at + 2, end - at - 2), received[end], replies);
            at = end;
        } else if (kind == '_') {
            // APC, ended by ESC backslash.
            std::size_t end = received.find("\x1b\\", at + 2);
            if (end == std::string_view::npos) break;
            readKittyReply(received.substr(at + 2, end - at - 2), replies);
            at = end + 2;
        } else {
            at += 1;
        }
    }
    return replies;
}

std::optional<std::string> reportedColour(std::string_view received, int which) {
    // ESC ] 10 ; rgb:R/G/B with one to four hex digits each, ended by BEL or ST. Nothing else
    // is accepted, since the colour is written back to the terminal.
    std::string start = "\x1b]" + std::to_string(which) + ";rgb:";
    std::size_t at = received.find(start);
    if (at == std::string_view::npos) return std::nullopt;
    std::string_view rest = received.substr(at + start.size());
    std::size_t length = 0;
    for (int part = 0; part < 3; ++part) {
        if (part > 0 && !rest.substr(length).starts_with('/')) return std::nullopt;
        std::size_t digits = part > 0 ? ++length : length;
        while (length < rest.size() && std::isxdigit(static_cast<unsigned char>(rest[length])))
            ++length;
        if (length == digits || length - digits > 4) return std::nullopt;
    }
    std::string_view after = rest.substr(length);
    if (!after.starts_with("\x07") && !after.starts_with("\x1b\\")) return std::nullopt;
    return "rgb:" + std::string(rest.substr(0, length));
}

} // namespace veloria
