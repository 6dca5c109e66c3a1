#include "pixels/GalleryGeometry.h"
#include "terminal/canvas/SixelCanvas.h"

#include "terminal/canvas/Viewport.h"

#include <gtest/gtest.h>

#include <cctype>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <map>

namespace veloria {
namespace {

// A sixel image read back: where it was drawn (from the cursor move before it) and its pixels.
struct Decoded {
    int row = 0;
    int column = 0;
    int declaredWidth = 0;
    int declaredHeight = 0;
    int width = 0;
    int height = 0;
    bool transparent = false; // pixels not drawn leave the screen as it was
    std::map<int, ColorValue> palette;
    std::vector<int> pixels; // register per pixel, -1 where nothing was drawn

    ColorValue at(int x, int y) const {
        return palette.at(pixels[static_cast<std::size_t>(y) * width + x]);
    }
};

int readNumber(const std::string& s, std::size_t& at) {
    int value = 0;
    while (at < s.size() && std::isdigit(static_cast<unsigned char>(s[at])))
        value = value * 10 + (s[at++] - '0');
    return value;
}

Decoded decodeSixel(const std::string& bytes) {
    Decoded image;
    std::size_t cup = bytes.rfind("\x1b[", bytes.find("\x1bP"));
    std::size_t at = cup + 2;
    image.row = readNumber(bytes, at) - 1;
    ++at;
    image.column = readNumber(bytes, at) - 1;
    at = bytes.find("\x1bP") + 2;
    readNumber(bytes, at);
    ++at;
    image.transparent = readNumber(bytes, at) == 1;
    at = bytes.find('q', at) + 1;
    EXPECT_EQ(bytes[at], '"');
    ++at;
    EXPECT_EQ(readNumber(bytes, at), 1);
    ++at;
    EXPECT_EQ(readNumber(bytes, at), 1); // square pixels
    ++at;
    image.declaredWidth = readNumber(bytes, at);
    ++at;
    image.declaredHeight = readNumber(bytes, at);
    std::size_t end = bytes.find("\x1b\\", at);
    EXPECT_NE(end, std::string::npos);
    std::vector<std::vector<int>> rows;
    int x = 0, top = 0, colour = 0;
    auto put = [&](int bits, int count) {
        for (int r = 0; r < 6; ++r) {
            if (!(bits & (1 << r))) continue;
            while (static_cast<int>(rows.size()) <= top + r) rows.emplace_back();
            auto& line = rows[top + r];
            if (static_cast<int>(line.size()) < x + count) line.resize(x + count, -1);
            for (int i = 0; i < count; ++i) line[x + i] = colour;
        }
        x += count;
        image.width = std::max(image.width, x);
    };
    while (at < end) {
        char c = bytes[at++];
        if (c == '#') {
            colour = readNumber(bytes, at);
            if (bytes[at] == ';') {
                ++at;
                EXPECT_EQ(readNumber(bytes, at), 2); // RGB in percent
                int rgbPercent[3];
                for (int& v : rgbPercent) {
                    ++at;
                    v = readNumber(bytes, at);
                }
                image.palette[colour] = rgb(rgbPercent[0] * 255 / 100, rgbPercent[1] * 255 / 100,
                                            rgbPercent[2] * 255 / 100);
            }
        } else if (c == '!') {
            int count = readNumber(bytes, at);
            put(bytes[at++] - '?', count);
        } else if (c == '$') {
            x = 0;
        } else if (c == '-') {
            x = 0;
            top += 6;
        } else if (c >= '?' && c <= '~') {
            put(c - '?', 1);
        } else {
            ADD_FAILURE() << "unexpected byte " << int(c);
        }
    }
    image.height = top;
    image.pixels.assign(static_cast<std::size_t>(image.width) * image.height, -1);
    for (int y = 0; y < static_cast<int>(rows.size()); ++y)
        for (int i = 0; i < static_cast<int>(rows[y].size()); ++i)
            image.pixels[static_cast<std::size_t>(y) * image.width + i] = rows[y][i];
    return image;
}

PixelSurface gradient() {
    PixelSurface surface{GalleryWindow};
    for (int y = 0; y < GalleryWindow.height(); ++y)
        for (int x = 0; x < GalleryWindow.width(); ++x)
            surface.set(x, y, rgb(x * 255 / 1149, y * 255 / 1019, (x + y) * 255 / 2168));
    return surface;
}

struct SixelCase {
    const char* name;
    TerminalGeometry terminal;
    GraphicsLimit limit;
};

const SixelCase Cases[] = {
    {"xterm default window", {80, 24, 484, 316}, {1000, 1000}},
    {"console grid, large screen",
     {GalleryWindow.columns, GalleryWindow.rows, GalleryWindow.width(), GalleryWindow.height()},
     {1000, 1000}},
    {"large window, larger limit", {200, 60, 1800, 1260}, {2000, 2000}},
    {"no pixel size", {100, 40, 0, 0}, {1000, 1000}},
    {"tiny", {20, 5, 120, 80}, {1000, 1000}},
};

class SixelTable : public testing::TestWithParam<SixelCase> {};

TEST_P(SixelTable, ImageIsTheDitheredSurfaceWithinLimitsAndAboveTheLastRow) {
    const auto& param = GetParam();
    PixelSurface surface = gradient();
    auto canvas = makeSixelCanvas(param.limit, SixelFrames::Overlays);
    std::string bytes;
    canvas->encodeFrame(surface, param.terminal, bytes);
    Decoded image = decodeSixel(bytes);

    Viewport screen = pixelViewport(GalleryWindow, param.terminal, INT_MAX, INT_MAX);
    EXPECT_EQ(image.width, image.declaredWidth);
    EXPECT_EQ(image.height, image.declaredHeight);
    EXPECT_LE(image.width, param.limit.width);
    EXPECT_LE(image.height, param.limit.height);
    EXPECT_LE(image.column * screen.cellWidth + image.width, screen.rasterWidth);
    // Ends at least a cell above the bottom, so the screen does not scroll.
    EXPECT_LE(image.row * screen.cellHeight + image.height,
              screen.rasterHeight - screen.cellHeight);
    EXPECT_EQ(image.height % 6, 0);

    // The image covers the source in proportion; every pixel drawn, each within one palette
    // step (dithering) of the surface pixel it stands for.
    Rect source =
        param.terminal.columns == GalleryWindow.columns && param.terminal.rows == GalleryWindow.rows
            ? Rect{0, 0, GalleryWindow.width(), GalleryWindow.height()}
            : GalleryWindow.drawingArea;
    int width = image.width;
    int height = (width * source.height + source.width / 2) / source.width;
    ASSERT_LE(height, image.height);
    EXPECT_GT(height, image.height - 6 - 2);
    auto xs = sourceEdges(source.x, source.width, width);
    auto ys = sourceEdges(source.y, source.height, height);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < width; ++x) {
            ASSERT_NE(image.pixels[static_cast<std::size_t>(y) * width + x], -1);
            if (y >= height) continue;
            ColorValue want = surface.at(xs[x], ys[y]);
            ColorValue got = image.at(x, y);
            ASSERT_LE(std::abs(int(redOf(got)) - int(redOf(want))), 52) << x << "," << y;
            ASSERT_LE(std::abs(int(greenOf(got)) - int(greenOf(want))), 43) << x << "," << y;
            ASSERT_LE(std::abs(int(blueOf(got)) - int(blueOf(want))), 52) << x << "," << y;
        }
}

INSTANTIATE_TEST_SUITE_P(Terminals, SixelTable, testing::ValuesIn(Cases), [](const auto& info) {
    std::string name = info.param.name;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
});

TEST(SixelCanvas, PaletteLevelsComeOutExactlyAndDitherMixesNeighbours) {
    PixelSurface surface{GalleryWindow};
    const TerminalGeometry terminal{GalleryWindow.columns, GalleryWindow.rows,
                                    GalleryWindow.width(), GalleryWindow.height()};
    // Left half a palette colour, right half mid-way between two green levels.
    for (int y = 0; y < GalleryWindow.height(); ++y)
        for (int x = 0; x < GalleryWindow.width(); ++x)
            surface.set(x, y, x < 575 ? rgb(51, 170, 204) : rgb(0, 0, 0) | 21 << 8);
    auto canvas = makeSixelCanvas({1000, 1000}, SixelFrames::Overlays);
    std::string bytes;
    canvas->encodeFrame(surface, terminal, bytes);
    Decoded image = decodeSixel(bytes);
    EXPECT_EQ(image.at(10, 10), rgb(51, 170, 204));
    int lit = 0, dark = 0;
    for (int y = 0; y < 48; ++y)
        for (int x = image.width - 48; x < image.width; ++x) {
            ColorValue c = image.at(x, y);
            lit += c == rgb(0, 43, 0);
            dark += c == rgb(0, 0, 0);
        }
    EXPECT_EQ(lit + dark, 48 * 48);
    EXPECT_NEAR(lit, 48 * 48 / 2, 48 * 48 / 10);
}

TEST(SixelCanvas, SendsOnlyChangedFramesAlwaysAtTheSamePlace) {
    const TerminalGeometry terminal{80, 24, 484, 316};
    PixelSurface surface = gradient();
    auto canvas = makeSixelCanvas({1000, 1000}, SixelFrames::Overlays);
    std::string first, same, changed, again;
    canvas->encodeFrame(surface, terminal, first);
    canvas->encodeFrame(surface, terminal, same);
    EXPECT_EQ(same, "");
    // Large enough to be sampled on a screen this small.
    for (int y = 500; y < 520; ++y)
        for (int x = 500; x < 520; ++x) surface.set(x, y, rgb(255, 255, 255));
    canvas->encodeFrame(surface, terminal, changed);
    ASSERT_NE(changed, "");
    Decoded a = decodeSixel(first), b = decodeSixel(changed);
    EXPECT_EQ(a.row, b.row);
    EXPECT_EQ(a.column, b.column);
    EXPECT_NE(a.pixels, b.pixels);
    canvas->invalidate();
    canvas->encodeFrame(surface, terminal, again);
    EXPECT_NE(again, "");
}

// The screen as a terminal shows it after a frame: the pixels the frame's image draws, and,
// where its background is transparent, what was there before elsewhere.
void showOn(std::vector<ColorValue>& screen, const Decoded& image) {
    ASSERT_TRUE(image.transparent);
    screen.resize(static_cast<std::size_t>(image.declaredWidth) * image.declaredHeight);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if (image.pixels[static_cast<std::size_t>(y) * image.width + x] != -1)
                screen[static_cast<std::size_t>(y) * image.declaredWidth + x] = image.at(x, y);
}

// The whole image of the surface as a fresh canvas sends it, less its clearing of the screen.
std::string wholeImageBytes(const PixelSurface& surface, const TerminalGeometry& terminal,
                            GraphicsLimit limit = {1000, 1000}) {
    std::string bytes;
    makeSixelCanvas(limit, SixelFrames::Overlays)->encodeFrame(surface, terminal, bytes);
    const std::string clearing = "\x1b[0;40m\x1b[2J\x1b[0m";
    EXPECT_EQ(bytes.substr(0, clearing.size()), clearing);
    return bytes.substr(clearing.size());
}

std::vector<ColorValue> wholeImage(const PixelSurface& surface, const TerminalGeometry& terminal,
                                   GraphicsLimit limit) {
    std::vector<ColorValue> screen;
    showOn(screen, decodeSixel(wholeImageBytes(surface, terminal, limit)));
    return screen;
}

// A reveal's frame: a few thousand pixels of the drawing area set to new colours.
void drawSamples(PixelSurface& surface, unsigned& seed, int count) {
    const Rect& area = GalleryWindow.drawingArea;
    for (int i = 0; i < count; ++i) {
        seed = seed * 1103515245 + 12345;
        int x = area.x + static_cast<int>(seed >> 8) % area.width;
        seed = seed * 1103515245 + 12345;
        int y = area.y + static_cast<int>(seed >> 8) % area.height;
        surface.set(x, y, rgb(seed & 255, (seed >> 8) & 255, (seed >> 16) & 255));
    }
}

// Overlays on a terminal of the console's grid (the image shrunk to the limit), of xterm's
// default window (shrunk further) and a larger one (stretched: a surface pixel shows on
// several image pixels).
TEST_P(SixelTable, OverlaysOfWhatChangedShowTheSameScreenAsWholeImages) {
    const SixelCase& c = GetParam();
    if (c.terminal.rows < 24) GTEST_SKIP() << "too small for a few thousand changes to be few";
    PixelSurface surface = gradient();
    auto canvas = makeSixelCanvas(c.limit, SixelFrames::Overlays);
    std::string first;
    canvas->encodeFrame(surface, c.terminal, first);
    std::vector<ColorValue> screen;
    showOn(screen, decodeSixel(first));
    unsigned seed = 1;
    // Half a second of frames: fourteen overlays, then a whole image again.
    for (int frame = 1; frame <= 15; ++frame) {
        drawSamples(surface, seed, 4300);
        std::string bytes;
        canvas->encodeFrame(surface, c.terminal, bytes);
        Decoded image = decodeSixel(bytes);
        EXPECT_EQ(image.row, decodeSixel(first).row);
        EXPECT_EQ(image.column, decodeSixel(first).column);
        // A few thousand pixels, a small part of the whole image's bytes.
        if (frame < 15)
            EXPECT_LT(bytes.size(), first.size() / 5) << "frame " << frame;
        else
            EXPECT_EQ(bytes, wholeImageBytes(surface, c.terminal, c.limit)) << "frame " << frame;
        showOn(screen, image);
        ASSERT_EQ(screen, wholeImage(surface, c.terminal, c.limit)) << "frame " << frame;
    }
}

TEST(SixelCanvas, WholeImagesOnlyForATerminalThatPaintsTheBackground) {
    const TerminalGeometry terminal{GalleryWindow.columns, GalleryWindow.rows,
                                    GalleryWindow.width(), GalleryWindow.height()};
    PixelSurface surface = gradient();
    auto canvas = makeSixelCanvas({1000, 1000}, SixelFrames::Whole);
    std::string first;
    canvas->encodeFrame(surface, terminal, first);
    unsigned seed = 3;
    drawSamples(surface, seed, 4300);
    std::string next;
    canvas->encodeFrame(surface, terminal, next);
    EXPECT_EQ(next, wholeImageBytes(surface, terminal));
}

TEST(SixelCanvas, AWholeImageWhereItIsSmallerThanTheOverlay) {
    const TerminalGeometry terminal{GalleryWindow.columns, GalleryWindow.rows,
                                    GalleryWindow.width(), GalleryWindow.height()};
    // Stripes one pixel wide, then one colour: the pixels that changed are scattered, while
    // the new image is one run per band.
    const ColorValue blue = rgb(51, 170, 204), black = rgb(0, 0, 0);
    PixelSurface surface{GalleryWindow};
    for (int y = 0; y < GalleryWindow.height(); ++y)
        for (int x = 0; x < GalleryWindow.width(); ++x) surface.set(x, y, x % 2 ? blue : black);
    auto canvas = makeSixelCanvas({1000, 1000}, SixelFrames::Overlays);
    std::string first, next;
    canvas->encodeFrame(surface, terminal, first);
    for (int y = 0; y < GalleryWindow.height(); ++y)
        for (int x = 0; x < GalleryWindow.width(); ++x) surface.set(x, y, blue);
    canvas->encodeFrame(surface, terminal, next);
    EXPECT_EQ(next, wholeImageBytes(surface, terminal));
    EXPECT_FALSE(decodeSixel(next).pixels.empty());
}

} // namespace
} // namespace veloria
