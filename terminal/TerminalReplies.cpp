#include "terminal/TerminalReplies.h"

#include "terminal/Base64.h"

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

bool onlyNumbers(std::string_view parameters) {
    for (char c : parameters)
        if (!std::isdigit(static_cast<unsigned char>(c)) && c != ';') return false;
    return true;
}

void readControlSequence(std::string_view parameters, char final, TerminalReplies& replies) {
    if (final == 't' && onlyNumbers(parameters)) {
        // CSI 6 ; height ; width t
        std::vector<int> values = numbers(parameters);
        if (values.size() == 3 && values[0] == 6 && values[1] > 0 && values[2] > 0)
            replies.cellSize = CellSize{values[2], values[1]};
        return;
    }
    if (parameters.empty() || parameters.front() != '?' || !onlyNumbers(parameters.substr(1)))
        return;
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
    if (body == "Gi=33;OK") replies.kittySharedMemory = true;
}

// A valid DECRQSS answer for the graphic rendition ("1$r" then the attributes, "m"): whether
// they hold the background 1, 2, 3 in direct colour, with or without a colour space
// ("0;48:2::1:2:3m", "48;2;1;2;3m").
void readSettingReply(std::string_view body, TerminalReplies& replies) {
    if (!body.starts_with("1$r") || !body.ends_with('m')) return;
    body = body.substr(3, body.size() - 4);
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        std::size_t end = body.find_first_of(";:", start);
        fields.push_back(body.substr(start, end - start));
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    for (std::size_t i = 0; i + 4 < fields.size(); ++i) {
        if (fields[i] != "48" || fields[i + 1] != "2") continue;
        auto rgbFrom = [&](std::size_t at) {
            return at + 2 < fields.size() && fields[at] == "1" && fields[at + 1] == "2" &&
                   fields[at + 2] == "3";
        };
        if (rgbFrom(i + 2) || rgbFrom(i + 3)) replies.trueColour = true;
    }
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
        } else if (kind == '_' || kind == 'P') {
            // APC or DCS, ended by ESC backslash.
            std::size_t end = received.find("\x1b\\", at + 2);
            if (end == std::string_view::npos) break;
            std::string_view body = received.substr(at + 2, end - at - 2);
            if (kind == '_')
                readKittyReply(body, replies);
            else
                readSettingReply(body, replies);
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

std::string kittySharedMemoryQuery(const std::string& objectName) {
    std::string query = "\x1b_Gi=33,s=1,v=1,a=q,t=s,f=24;";
    appendBase64(query, objectName);
    return query + "\x1b\\";
}

} // namespace veloria
