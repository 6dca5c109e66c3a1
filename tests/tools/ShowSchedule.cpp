// Prints the show's schedule as JSON on standard output: the show's own sequence is run
// against the recording fakes in virtual time, and the times of its calls, the slides it
// prints, its pixel calls and the gallery's geometry are read from the record. The end-to-end
// tests and the figures take the show's timing from here, so they follow the program when it
// changes instead of keeping numbers of their own.
#include "pixels/GalleryGeometry.h"
#include "tests/fakes/RecordedShow.h"
#include "tests/fast/FastClocks.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace veloria;
using namespace veloria::testing;

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::int64_t timeOf(const ShowLog& log, const std::string& call) {
    for (const LoggedCall& c : log.calls)
        if (c.call == call) return c.atMs;
    return -1;
}

} // namespace

int main() {
    const RecordedShow show;
    const ShowLog& log = show.log;
    const RecordingSurface& surface = show.surface;

    // The setSize requests in order; the gallery's console is the last one asked for.
    std::string sizes;
    int columns = 0, lines = 0;
    std::size_t musicCall = 0, gallery = 0;
    for (std::size_t i = 0; i < log.calls.size(); ++i) {
        const LoggedCall& c = log.calls[i];
        if (c.call == "playMusic") musicCall = i;
        if (c.call != "setSize") continue;
        std::sscanf(c.argument.c_str(), "%dx%d", &columns, &lines);
        gallery = i;
        sizes +=
            std::string(sizes.empty() ? "" : ", ") + "{\"columns\": " + std::to_string(columns) +
            ", \"lines\": " + std::to_string(lines) + ", \"atMs\": " + std::to_string(c.atMs) + "}";
    }

    // The slides: the lines written from the music's start to the gallery's size request. A
    // slide ends with its hold, a pause right after its last line's pause.
    std::vector<std::vector<std::string>> slides(1);
    std::string line;
    bool afterPause = false;
    for (std::size_t i = musicCall; i < gallery; ++i) {
        const LoggedCall& c = log.calls[i];
        if (c.call == "write") {
            for (char ch : c.argument) {
                if (ch != '\n') {
                    line += ch;
                } else {
                    slides.back().push_back(line);
                    line.clear();
                }
            }
        } else if (c.call == "Sleep" && afterPause) {
            slides.emplace_back();
        }
        if (c.call != "flush") afterPause = c.call == "Sleep";
    }
    if (slides.back().empty()) slides.pop_back();

    std::uint64_t slideLines = 0;
    std::string slideText;
    for (const auto& slide : slides) {
        slideText += slideText.empty() ? "\n    [" : ",\n    [";
        for (std::size_t i = 0; i < slide.size(); ++i)
            slideText += (i ? ", " : "") + quoted(slide[i]);
        slideText += "]";
        slideLines += slide.size();
    }

    const std::int64_t keyWaitMs = timeOf(log, "readKey");
    const double galleryMs = static_cast<double>(surface.calls) / PixelCallsPerSecond * 1000;
    std::printf("{\n");
    std::printf("  \"musicStartMs\": %lld,\n", static_cast<long long>(timeOf(log, "playMusic")));
    std::printf("  \"galleryStartMs\": %lld,\n", static_cast<long long>(log.calls[gallery].atMs));
    std::printf("  \"keyWaitMs\": %lld,\n", static_cast<long long>(keyWaitMs));
    std::printf("  \"sizes\": [%s],\n", sizes.c_str());
    std::printf("  \"slideLines\": %llu,\n", static_cast<unsigned long long>(slideLines));
    std::printf("  \"slides\": [%s],\n", slideText.c_str());
    std::printf("  \"pixelCalls\": %llu,\n", static_cast<unsigned long long>(surface.calls));
    std::printf("  \"pixelCallsPerSecond\": %.0f,\n", PixelCallsPerSecond);
    std::printf("  \"galleryMs\": %.3f,\n", galleryMs);
    std::printf("  \"showMs\": %.3f,\n", static_cast<double>(keyWaitMs) + galleryMs);
    std::printf("  \"columns\": %d,\n  \"lines\": %d,\n", columns, lines);
    const WindowLayout& window = GalleryWindow;
    const Rect& area = window.drawingArea;
    std::printf("  \"cellWidth\": %d,\n  \"cellHeight\": %d,\n", window.cellWidth,
                window.cellHeight);
    std::printf("  \"surfaceWidth\": %d,\n  \"surfaceHeight\": %d,\n", window.width(),
                window.height());
    std::printf("  \"drawingArea\": {\"x\": %d, \"y\": %d, \"width\": %d, \"height\": %d},\n",
                area.x, area.y, area.width, area.height);
    std::printf("  \"fastSpeedup\": %d\n}\n", FastClockSpeedup);
    return 0;
}
