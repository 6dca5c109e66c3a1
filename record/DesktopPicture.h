// The picture of a recording: a 1920 x 1080 desktop of one dark colour with a Windows console
// window centred on it, a light title bar over a client area of 10 x 20 pixels per cell, all
// framed by a thin border. The console's cells are drawn in the console font and palette;
// the gallery sets pixels of the client area directly. The pixels are ColorValues, which in
// memory are the bytes R, G, B, 0, rows top to bottom without gaps.
#pragma once

#include "record/ConsoleFont.h"
#include "record/ConsoleScreen.h"
#include "terminal/ColorValue.h"
#include "terminal/PixelSurface.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace veloria {

class DesktopPicture {
public:
    static constexpr int Width = 1920, Height = 1080;
    static constexpr int TitleBarHeight = 31, BorderWidth = 1;
    // The show's largest console, 150 x 51 cells, fits with its frame.
    static_assert(51 * GlyphHeight + TitleBarHeight + 2 * BorderWidth <= Height);
    static_assert(150 * GlyphWidth + 2 * BorderWidth <= Width);

    // The desktop alone, until a console is shown.
    DesktopPicture();

    // Shows the screen's cells and cursor position; the picture follows one screen, shown
    // again after each change. A console of another size than the last one gets a new window,
    // centred, with every cell drawn; otherwise only the cells that changed since are drawn
    // again, over whatever was set there. Throws RecordError for a console whose window would
    // not fit on the desktop.
    void showConsole(const ConsoleScreen& screen);

    // Sets one pixel of the client area, counted from its top left corner; a pixel outside
    // the client area is ignored.
    void setClientPixel(int x, int y, ColorValue colour) {
        if (static_cast<unsigned>(x) >= static_cast<unsigned>(client_.width) ||
            static_cast<unsigned>(y) >= static_cast<unsigned>(client_.height))
            return;
        if (!changed_) beginChange();
        clientPixels_[y * Width + x] = colour;
        changedFrom_.x = std::min(changedFrom_.x, client_.x + x);
        changedFrom_.y = std::min(changedFrom_.y, client_.y + y);
        changedTo_.x = std::max(changedTo_.x, client_.x + x + 1);
        changedTo_.y = std::max(changedTo_.y, client_.y + y + 1);
    }

    // The whole picture, Width x Height pixels, with the console's underline cursor shown or
    // not: the bottom quarter of the cursor's cell inverted. The cursor is taken away again
    // before anything else is drawn, so it never leaves a mark.
    const ColorValue* frame(bool cursorOn);
    // The area outside which the last frame taken is the same as the one before it (the
    // first frame: the whole desktop); empty where the two are the same. A video converts
    // only this much of a frame.
    Rect frameChange() const { return frameChange_; }

    // The pixel at (x, y) on the desktop, as it is now.
    ColorValue pixel(int x, int y) const {
        return pixels_[static_cast<std::size_t>(y * Width + x)];
    }
    // Where the window and its client area lie on the desktop; empty before a console is shown.
    Rect window() const { return window_; }
    Rect client() const { return client_; }

private:
    void beginChange();
    void layOut(const ConsoleScreen& screen);
    void drawCell(int column, int line, ConsoleCell cell);
    void fill(Rect area, ColorValue colour);
    void invertCursor(CellPosition at);
    void markChanged(Rect area);

    std::vector<ColorValue> pixels_;
    Rect window_;
    Rect client_;
    ColorValue* clientPixels_;
    // The generation of the screen last drawn, and where its cursor was.
    std::uint64_t drawnGeneration_ = 0;
    CellPosition cursor_;
    bool changed_ = true;
    bool cursorShown_ = false;
    CellPosition cursorShownAt_;
    // The corners of the area changed since the last frame, and that frame's own change.
    struct Corner {
        int x, y;
    };
    Corner changedFrom_{0, 0}, changedTo_{Width, Height};
    Rect frameChange_;
};

} // namespace veloria
