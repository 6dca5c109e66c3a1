#include "pixels/GalleryGeometry.h"
#include "terminal/canvas/HalfBlockCanvas.h"

#include "terminal/canvas/Viewport.h"

#include <gtest/gtest.h>
#include <vterm.h>

#include <cstdint>
#include <vector>

namespace veloria {
namespace {

constexpr int Columns = 24;
constexpr int Rows = 10;
const TerminalGeometry SmallTerminal{Columns, Rows, 0, 0};

// What a cell of the modelled screen shows: the colours of its upper and lower halves.
struct Shown {
    std::uint32_t upper;
    std::uint32_t lower;
    bool operator==(const Shown&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Shown& s) {
    return out << std::hex << s.upper << "/" << s.lower;
}

// A terminal model (libvterm) that the canvas's bytes are replayed into.
class Screen {
public:
    Screen() : terminal_(vterm_new(Rows, Columns)) {
        vterm_set_utf8(terminal_, 1);
        screen_ = vterm_obtain_screen(terminal_);
        vterm_screen_reset(screen_, 1);
    }
    ~Screen() { vterm_free(terminal_); }
    Screen(const Screen&) = delete;
    Screen& operator=(const Screen&) = delete;

    void write(std::string_view bytes) {
        vterm_input_write(terminal_, bytes.data(), bytes.size());
    }

    // "▀" shows foreground over background; a blank shows its background only. Colours are
    // RGB, or 0x1000000 + index for palette colours.
    Shown at(int row, int column) const {
        VTermScreenCell cell;
        vterm_screen_get_cell(screen_, VTermPos{row, column}, &cell);
        std::uint32_t fg = colour(cell.fg);
        std::uint32_t bg = colour(cell.bg);
        if (cell.chars[0] == 0x2580) return {fg, bg};
        EXPECT_TRUE(cell.chars[0] == ' ') << "unexpected glyph " << cell.chars[0];
        return {bg, bg};
    }

    VTermPos cursor() const {
        VTermPos position;
        vterm_state_get_cursorpos(vterm_obtain_state(terminal_), &position);
        return position;
    }

private:
    static std::uint32_t colour(VTermColor c) {
        if (VTERM_COLOR_IS_INDEXED(&c)) return 0x1000000u + c.indexed.idx;
        return rgb(c.rgb.red, c.rgb.green, c.rgb.blue);
    }

    VTerm* terminal_;
    VTermScreen* screen_;
};

struct Random {
    std::uint64_t state;
    std::uint32_t next() {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return static_cast<std::uint32_t>(state >> 20);
    }
};

// Frames of a gallery in miniature: noise, rectangles of flat colour, a few pixels, nothing.
void noise(PixelSurface& s, Random& random) {
    for (ColorValue& p : s.pixels) p = random.next() & 0xFFFFFF;
}
void rectangles(PixelSurface& s, Random& random) {
    for (int n = 0; n < 6; ++n) {
        int x0 = random.next() % GalleryWindow.width(), y0 = random.next() % GalleryWindow.height();
        int w = random.next() % 400, h = random.next() % 400;
        ColorValue c = random.next() & 0xFFFFFF;
        for (int y = y0; y < std::min(GalleryWindow.height(), y0 + h); ++y)
            for (int x = x0; x < std::min(GalleryWindow.width(), x0 + w); ++x) s.set(x, y, c);
    }
}
void sprinkle(PixelSurface& s, Random& random) {
    for (int n = 0; n < 3000; ++n)
        s.set(random.next() % GalleryWindow.width(), random.next() % GalleryWindow.height(), random.next() & 0xFFFFFF);
}

class HalfBlockReplay : public testing::TestWithParam<ColourDepth> {};

TEST_P(HalfBlockReplay, ChangedCellsShowWhatAFullRedrawShows) {
    auto incremental = makeHalfBlockCanvas(GetParam());
    Screen updated;
    PixelSurface surface{GalleryWindow};
    Random random{0x5EED};
    void (*steps[])(PixelSurface&, Random&) = {noise, sprinkle,   rectangles, sprinkle,
                                               noise, rectangles, rectangles, sprinkle};
    for (auto step : steps) {
        step(surface, random);
        std::string bytes;
        incremental->encodeFrame(surface, SmallTerminal, bytes);
        updated.write(bytes);

        auto fresh = makeHalfBlockCanvas(GetParam());
        std::string whole;
        fresh->encodeFrame(surface, SmallTerminal, whole);
        Screen redrawn;
        redrawn.write(whole);
        for (int row = 0; row < Rows; ++row)
            for (int column = 0; column < Columns; ++column)
                ASSERT_EQ(updated.at(row, column), redrawn.at(row, column))
                    << "cell " << row << "," << column;
    }
}

TEST_P(HalfBlockReplay, AnUnchangedFrameSendsNothingAndInvalidateSendsAll) {
    auto canvas = makeHalfBlockCanvas(GetParam());
    PixelSurface surface{GalleryWindow};
    Random random{7};
    noise(surface, random);
    std::string first, second, third;
    canvas->encodeFrame(surface, SmallTerminal, first);
    canvas->encodeFrame(surface, SmallTerminal, second);
    EXPECT_EQ(second, "");
    canvas->invalidate();
    canvas->encodeFrame(surface, SmallTerminal, third);
    EXPECT_EQ(third, first);
}

TEST_P(HalfBlockReplay, AResizeRedrawsTheNewGrid) {
    auto canvas = makeHalfBlockCanvas(GetParam());
    PixelSurface surface{GalleryWindow};
    Random random{11};
    noise(surface, random);
    std::string bytes;
    canvas->encodeFrame(surface, {12, 5, 0, 0}, bytes);
    bytes.clear();
    canvas->encodeFrame(surface, SmallTerminal, bytes);
    auto fresh = makeHalfBlockCanvas(GetParam());
    std::string whole;
    fresh->encodeFrame(surface, SmallTerminal, whole);
    EXPECT_EQ(bytes, whole);
}

TEST_P(HalfBlockReplay, BelowThePictureLeavesTheCursorOnAFreshLineAndThePictureWhole) {
    // What the shell prints next must not land in the middle of the last picture.
    auto canvas = makeHalfBlockCanvas(GetParam());
    PixelSurface surface{GalleryWindow};
    Random random{13};
    noise(surface, random);
    std::string bytes;
    canvas->encodeFrame(surface, SmallTerminal, bytes);
    Screen screen;
    screen.write(bytes);
    std::vector<Shown> before;
    for (int row = 0; row < Rows; ++row)
        for (int column = 0; column < Columns; ++column) before.push_back(screen.at(row, column));
    screen.write(BelowThePicture);
    EXPECT_EQ(screen.cursor().row, Rows - 1);
    EXPECT_EQ(screen.cursor().col, 0);
    // The picture moved up a line, whole but for its top row.
    for (int row = 0; row + 1 < Rows; ++row)
        for (int column = 0; column < Columns; ++column)
            ASSERT_EQ(screen.at(row, column), before[(row + 1) * Columns + column])
                << row << "," << column;
}

INSTANTIATE_TEST_SUITE_P(Depths, HalfBlockReplay,
                         testing::Values(ColourDepth::TrueColour, ColourDepth::Palette256),
                         [](const auto& info) {
                             return info.param == ColourDepth::TrueColour ? "TrueColour"
                                                                          : "Palette256";
                         });

TEST(HalfBlockCanvas, FlatColourFillsTheDrawingAreaAndBlackSurroundsIt) {
    PixelSurface surface{GalleryWindow};
    ColorValue orange = rgb(250, 120, 10);
    for (int y = GalleryWindow.drawingArea.y;
         y < GalleryWindow.drawingArea.y + GalleryWindow.drawingArea.height; ++y)
        for (int x = GalleryWindow.drawingArea.x;
             x < GalleryWindow.drawingArea.x + GalleryWindow.drawingArea.width; ++x)
            surface.set(x, y, orange);
    auto canvas = makeHalfBlockCanvas(ColourDepth::TrueColour);
    std::string bytes;
    canvas->encodeFrame(surface, SmallTerminal, bytes);
    Screen screen;
    screen.write(bytes);
    Viewport view = halfCellViewport(GalleryWindow, SmallTerminal);
    for (int row = 0; row < Rows; ++row)
        for (int column = 0; column < Columns; ++column) {
            auto inside = [&](int dotY) {
                const Rect& t = view.target;
                return column >= t.x && column < t.x + t.width && dotY >= t.y &&
                       dotY < t.y + t.height;
            };
            Shown expected{inside(2 * row) ? orange : 0, inside(2 * row + 1) ? orange : 0};
            EXPECT_EQ(screen.at(row, column), expected) << "cell " << row << "," << column;
        }
}

TEST(HalfBlockCanvas, HalvesOfACellKeepTheirOwnColours) {
    // On the console grid a cell is 10 x 20 pixels: the upper 10 rows make the upper half.
    PixelSurface surface{GalleryWindow};
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            surface.set(x, y, rgb(255, 0, 0));
            surface.set(x, y + 10, rgb(0, 0, 255));
        }
    auto canvas = makeHalfBlockCanvas(ColourDepth::TrueColour);
    std::string bytes;
    canvas->encodeFrame(surface, {GalleryWindow.columns, GalleryWindow.rows, 0, 0}, bytes);
    std::string expected = "\x1b[1;1H\x1b[38;2;255;0;0;48;2;0;0;255m\u2580\x1b[48;2;0;0;0m ";
    EXPECT_EQ(bytes.substr(0, expected.size()), expected);
}

} // namespace
} // namespace veloria
