#include "record/DesktopPicture.h"

#include "console/ConsolePalette.h"
#include "console/Cp1251.h"
#include "record/RecordError.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <vector>

namespace veloria {
namespace {

constexpr int W = DesktopPicture::Width, H = DesktopPicture::Height;

ColorValue palette(unsigned index) {
    const unsigned char* c = ConsolePalette[index];
    return rgb(c[0], c[1], c[2]);
}

const ColorValue Black = palette(0), Grey = palette(7), LightGreen = palette(10), Blue = palette(1),
                 Yellow = palette(14);

std::vector<ColorValue> copyOf(const ColorValue* frame) {
    return {frame, frame + static_cast<std::size_t>(W) * H};
}

// How many pixels of two frames differ.
long differences(const ColorValue* frame, const std::vector<ColorValue>& expected) {
    long count = 0;
    for (std::size_t i = 0; i < expected.size(); ++i) count += frame[i] != expected[i];
    return count;
}

// How many pixels of two frames differ outside an area.
long differencesOutside(const ColorValue* frame, const std::vector<ColorValue>& before, Rect area) {
    long count = 0;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            bool inside =
                x >= area.x && x < area.x + area.width && y >= area.y && y < area.y + area.height;
            std::size_t i = static_cast<std::size_t>(y * W + x);
            count += !inside && frame[i] != before[i];
        }
    return count;
}

// The pixels with the bottom five rows of a cell of the client area inverted.
std::vector<ColorValue> withCursor(std::vector<ColorValue> pixels, CellPosition cell, Rect client) {
    for (int y = GlyphHeight - 5; y < GlyphHeight; ++y)
        for (int x = 0; x < GlyphWidth; ++x)
            pixels[static_cast<std::size_t>((client.y + cell.line * GlyphHeight + y) * W +
                                            client.x + cell.column * GlyphWidth + x)] ^= 0xFFFFFF;
    return pixels;
}

// A picture showing a console, and the client area's pixels counted from its top left.
struct Shown {
    explicit Shown(int columns, int lines) : screen(columns, lines) { picture.showConsole(screen); }
    void write(std::string_view bytes) {
        screen.write(bytes);
        picture.showConsole(screen);
    }
    ColorValue client(int x, int y) const {
        return picture.pixel(picture.client().x + x, picture.client().y + y);
    }

    DesktopPicture picture;
    ConsoleScreen screen;
};

TEST(DesktopPictureText, DrawsAGlyphInItsCellInTheCellsColours) {
    Shown shown(55, 20);
    shown.screen.setColors(0x1E);
    const std::string_view zhe = cp1251<"Ж">();
    shown.write(std::string("\n  ") + std::string(zhe));
    const GlyphRows& glyph = ConsoleGlyphs[static_cast<unsigned char>(zhe[0])];
    const int left = 2 * GlyphWidth, top = GlyphHeight;
    int mismatches = 0;
    for (int y = 0; y < shown.picture.client().height; ++y) {
        for (int x = 0; x < shown.picture.client().width; ++x) {
            const bool inCell =
                x >= left && x < left + GlyphWidth && y >= top && y < top + GlyphHeight;
            const ColorValue expected = inCell && inked(glyph, x - left, y - top) ? Yellow : Blue;
            mismatches += shown.client(x, y) != expected;
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(DesktopPictureText, ColoursComeFromTheAttributeAndRecolourTheText) {
    Shown shown(55, 20);
    shown.write("A");
    const GlyphRows& a = ConsoleGlyphs['A'];
    auto colours = [&] {
        std::vector<ColorValue> cell;
        for (int y = 0; y < GlyphHeight; ++y)
            for (int x = 0; x < GlyphWidth; ++x) cell.push_back(shown.client(x, y));
        return cell;
    };
    auto expected = [&](ColorValue text, ColorValue background) {
        std::vector<ColorValue> cell;
        for (int y = 0; y < GlyphHeight; ++y)
            for (int x = 0; x < GlyphWidth; ++x) cell.push_back(inked(a, x, y) ? text : background);
        return cell;
    };
    EXPECT_EQ(colours(), expected(Grey, Black));
    shown.screen.setColors(0x0A);
    shown.picture.showConsole(shown.screen);
    EXPECT_EQ(colours(), expected(LightGreen, Black));
    EXPECT_EQ(shown.client(GlyphWidth * 54, GlyphHeight * 19), Black);
}

TEST(DesktopPictureLayout, CentresEachConsoleWindowAndClearsTheOldOne) {
    struct Size {
        int columns, lines;
    };
    DesktopPicture picture;
    ConsoleScreen screen(55, 20);
    const ColorValue desktop = picture.pixel(0, 0);
    for (Size size : {Size{55, 20}, {150, 51}, {115, 51}, {120, 30}}) {
        SCOPED_TRACE(testing::Message() << size.columns << " x " << size.lines);
        screen.resize(size.columns, size.lines);
        picture.showConsole(screen);
        const Rect window = picture.window(), client = picture.client();
        EXPECT_EQ(client.width, size.columns * GlyphWidth);
        EXPECT_EQ(client.height, size.lines * GlyphHeight);
        // The frame: a border all round, the title bar above the client area.
        EXPECT_EQ(client.x, window.x + DesktopPicture::BorderWidth);
        EXPECT_EQ(window.width, client.width + 2 * DesktopPicture::BorderWidth);
        EXPECT_EQ(client.y,
                  window.y + DesktopPicture::BorderWidth + DesktopPicture::TitleBarHeight);
        EXPECT_EQ(window.height,
                  client.height + DesktopPicture::TitleBarHeight + 2 * DesktopPicture::BorderWidth);
        EXPECT_LE(std::abs(W - window.width - 2 * window.x), 1);
        EXPECT_LE(std::abs(H - window.height - 2 * window.y), 1);

        // Every pixel: desktop outside the window, a blank console inside the client area.
        int wrong = 0;
        for (int y = 0; y < H; ++y) {
            for (int x = 0; x < W; ++x) {
                const ColorValue p = picture.pixel(x, y);
                const bool inWindow = x >= window.x && x < window.x + window.width &&
                                      y >= window.y && y < window.y + window.height;
                const bool inClient = x >= client.x && x < client.x + client.width &&
                                      y >= client.y && y < client.y + client.height;
                if (inClient)
                    wrong += p != Black;
                else
                    wrong += inWindow == (p == desktop);
            }
        }
        EXPECT_EQ(wrong, 0);
        // Something is written in the title bar, darker than the bar.
        int dark = 0;
        for (int y = window.y + 1; y < client.y; ++y)
            for (int x = window.x + 1; x < window.x + window.width - 1; ++x)
                dark += greenOf(picture.pixel(x, y)) < 128;
        EXPECT_GT(dark, 20);

        screen.write("old text");
        for (int x = 0; x < 100; ++x) picture.setClientPixel(x, 30, Yellow);
        picture.showConsole(screen);
    }
}

TEST(DesktopPictureLayout, RefusesAConsoleTooLargeForTheDesktop) {
    DesktopPicture picture;
    for (auto [columns, lines] : {std::pair{193, 20}, {55, 53}}) {
        ConsoleScreen screen(columns, lines);
        EXPECT_THROW(picture.showConsole(screen), RecordError) << columns << " x " << lines;
    }
}

TEST(DesktopPicturePixels, LandInTheClientAreaAndNowhereElse) {
    Shown shown(115, 51);
    const Rect client = shown.picture.client();
    const std::vector<ColorValue> before = copyOf(shown.picture.frame(false));
    for (auto [x, y] : {std::pair{-1, 0},
                        {0, -1},
                        {client.width, 0},
                        {0, client.height},
                        {-1, client.height},
                        {1 << 20, 5}})
        shown.picture.setClientPixel(x, y, Yellow);
    EXPECT_EQ(differences(shown.picture.frame(false), before), 0);
    EXPECT_EQ(shown.picture.frameChange(), Rect{});

    shown.picture.setClientPixel(0, 0, Yellow);
    shown.picture.setClientPixel(client.width - 1, client.height - 1, Blue);
    shown.picture.frame(false);
    EXPECT_EQ(shown.picture.frameChange(), client);
    shown.picture.setClientPixel(7, 9, Yellow);
    shown.picture.frame(false);
    EXPECT_EQ(shown.picture.frameChange(), (Rect{client.x + 7, client.y + 9, 1, 1}));
    EXPECT_EQ(shown.picture.pixel(client.x, client.y), Yellow);
    EXPECT_EQ(shown.picture.pixel(client.x + client.width - 1, client.y + client.height - 1), Blue);
}

TEST(DesktopPicturePixels, TextDrawnLaterPaintsOverOnlyItsOwnCells) {
    Shown shown(115, 51);
    for (int x : {0, GlyphWidth - 1, GlyphWidth}) shown.picture.setClientPixel(x, 0, Yellow);
    // Nothing changed on the screen: nothing is drawn over the pixels.
    shown.picture.showConsole(shown.screen);
    EXPECT_EQ(shown.client(0, 0), Yellow);
    shown.write(" ");
    EXPECT_EQ(shown.client(0, 0), Black);
    EXPECT_EQ(shown.client(GlyphWidth - 1, 0), Black);
    EXPECT_EQ(shown.client(GlyphWidth, 0), Yellow);
}

TEST(DesktopPictureCursor, InvertsTheBottomOfItsCellUntilTakenAway) {
    Shown shown(55, 20);
    shown.write("ab\n  cd");
    const std::vector<ColorValue> plain = copyOf(shown.picture.frame(false));
    const Rect client = shown.picture.client();
    EXPECT_EQ(differences(shown.picture.frame(true), withCursor(plain, {4, 1}, client)), 0);
    EXPECT_EQ(shown.picture.frameChange(),
              (Rect{client.x + 4 * GlyphWidth, client.y + 2 * GlyphHeight - 5, GlyphWidth, 5}));
    EXPECT_EQ(differences(shown.picture.frame(false), plain), 0);

    // Taking the same frame again does not invert twice.
    shown.picture.frame(true);
    EXPECT_EQ(differences(shown.picture.frame(true), withCursor(plain, {4, 1}, client)), 0);
}

TEST(DesktopPictureCursor, LeavesNoMarkOnWhatIsDrawnNext) {
    // The same drawing on a twin picture whose cursor is never shown.
    Shown blinking(55, 20), steady(55, 20);
    for (Shown* shown : {&blinking, &steady}) shown->write("ab\n  cd");
    struct Step {
        const char* what;
        std::function<void(Shown&)> draw;
    };
    const std::vector<Step> steps = {
        {"pixel elsewhere", [](Shown& s) { s.picture.setClientPixel(300, 300, Yellow); }},
        {"pixel in the cursor", [](Shown& s) { s.picture.setClientPixel(45, 39, Yellow); }},
        {"text", [](Shown& s) { s.write("e"); }},
        {"cursor moved back", [](Shown& s) { s.write("\r"); }},
        {"colours",
         [](Shown& s) {
             s.screen.setColors(0x1E);
             s.picture.showConsole(s.screen);
         }},
        {"new size",
         [](Shown& s) {
             s.screen.resize(115, 51);
             s.picture.showConsole(s.screen);
         }},
    };
    for (const Step& step : steps) {
        const std::vector<ColorValue> before = copyOf(blinking.picture.frame(true));
        step.draw(blinking);
        step.draw(steady);
        // Only the area the frame reports as changed differs from the frame before.
        const ColorValue* after = blinking.picture.frame(true);
        EXPECT_NE(blinking.picture.frameChange(), Rect{}) << step.what;
        EXPECT_EQ(differencesOutside(after, before, blinking.picture.frameChange()), 0)
            << step.what;
        const std::vector<ColorValue> drawn = copyOf(steady.picture.frame(false));
        EXPECT_EQ(differences(blinking.picture.frame(true),
                              withCursor(drawn, steady.screen.cursor(), steady.picture.client())),
                  0)
            << step.what;
        EXPECT_EQ(differences(blinking.picture.frame(false), drawn), 0) << step.what;
    }
}

} // namespace
} // namespace veloria
