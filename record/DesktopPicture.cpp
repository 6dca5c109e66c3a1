#include "record/DesktopPicture.h"

#include "console/ConsolePalette.h"
#include "record/RecordError.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace veloria {
namespace {

constexpr ColorValue DesktopColour = rgb(16, 40, 64);
constexpr ColorValue BorderColour = rgb(112, 112, 112);
constexpr ColorValue TitleBarColour = rgb(255, 255, 255);
constexpr ColorValue TitleColour = rgb(0, 0, 0);
constexpr std::string_view Title = "veloria";
// The title's left edge within the title bar.
constexpr int TitleIndent = 8;
// A console's small cursor: the bottom quarter of its cell.
constexpr int CursorRows = GlyphHeight / 4;

constexpr ColorValue paletteColour(unsigned index) {
    const unsigned char* colour = ConsolePalette[index & 0xF];
    return rgb(colour[0], colour[1], colour[2]);
}

} // namespace

DesktopPicture::DesktopPicture()
    : pixels_(static_cast<std::size_t>(Width) * Height, DesktopColour),
      clientPixels_(pixels_.data()) {}

void DesktopPicture::showConsole(const ConsoleScreen& screen) {
    if (screen.columns() * GlyphWidth != client_.width ||
        screen.lines() * GlyphHeight != client_.height) {
        beginChange();
        layOut(screen);
    } else if (screen.generation() != drawnGeneration_) {
        for (int line = 0; line < screen.lines(); ++line) {
            for (int column = 0; column < screen.columns(); ++column) {
                if (screen.cellGeneration(column, line) <= drawnGeneration_) continue;
                if (!changed_) beginChange();
                drawCell(column, line, screen.cell(column, line));
            }
        }
    }
    drawnGeneration_ = screen.generation();
    cursor_ = screen.cursor();
}

const ColorValue* DesktopPicture::frame(bool cursorOn) {
    // No console, no cursor.
    const bool showCursor = cursorOn && client_.width > 0;
    if (cursorShown_ && (!showCursor || cursorShownAt_ != cursor_)) {
        invertCursor(cursorShownAt_);
        cursorShown_ = false;
    }
    if (showCursor && !cursorShown_) {
        invertCursor(cursor_);
        cursorShown_ = true;
        cursorShownAt_ = cursor_;
    }
    changed_ = false;
    frameChange_ = changedTo_.x > changedFrom_.x && changedTo_.y > changedFrom_.y
                       ? Rect{changedFrom_.x, changedFrom_.y, changedTo_.x - changedFrom_.x,
                              changedTo_.y - changedFrom_.y}
                       : Rect{};
    changedFrom_ = {Width, Height};
    changedTo_ = {0, 0};
    return pixels_.data();
}

void DesktopPicture::markChanged(Rect area) {
    changedFrom_.x = std::min(changedFrom_.x, area.x);
    changedFrom_.y = std::min(changedFrom_.y, area.y);
    changedTo_.x = std::max(changedTo_.x, area.x + area.width);
    changedTo_.y = std::max(changedTo_.y, area.y + area.height);
}

void DesktopPicture::beginChange() {
    if (cursorShown_) {
        invertCursor(cursorShownAt_);
        cursorShown_ = false;
    }
    changed_ = true;
}

void DesktopPicture::layOut(const ConsoleScreen& screen) {
    const int clientWidth = screen.columns() * GlyphWidth;
    const int clientHeight = screen.lines() * GlyphHeight;
    const int width = clientWidth + 2 * BorderWidth;
    const int height = clientHeight + TitleBarHeight + 2 * BorderWidth;
    if (width > Width || height > Height)
        throw RecordError("a console of " + std::to_string(screen.columns()) + " x " +
                          std::to_string(screen.lines()) + " cells does not fit on a " +
                          std::to_string(Width) + " x " + std::to_string(Height) + " desktop");
    window_ = {(Width - width) / 2, (Height - height) / 2, width, height};
    const Rect titleBar{window_.x + BorderWidth, window_.y + BorderWidth, clientWidth,
                        TitleBarHeight};
    client_ = {titleBar.x, titleBar.y + TitleBarHeight, clientWidth, clientHeight};
    clientPixels_ = pixels_.data() + client_.y * Width + client_.x;

    fill({0, 0, Width, Height}, DesktopColour);
    fill(window_, BorderColour);
    fill(titleBar, TitleBarColour);
    const int titleTop = titleBar.y + (TitleBarHeight - GlyphHeight) / 2;
    // As much of the title as fits the bar.
    const int titleLength =
        std::min(static_cast<int>(Title.size()), (titleBar.width - TitleIndent) / GlyphWidth);
    for (int i = 0; i < titleLength; ++i) {
        const GlyphRows& glyph =
            ConsoleGlyphs[static_cast<unsigned char>(Title[static_cast<std::size_t>(i)])];
        const int left = titleBar.x + TitleIndent + i * GlyphWidth;
        for (int y = 0; y < GlyphHeight; ++y)
            for (int x = 0; x < GlyphWidth; ++x)
                if (inked(glyph, x, y)) pixels_[(titleTop + y) * Width + left + x] = TitleColour;
    }
    for (int line = 0; line < screen.lines(); ++line)
        for (int column = 0; column < screen.columns(); ++column)
            drawCell(column, line, screen.cell(column, line));
}

void DesktopPicture::drawCell(int column, int line, ConsoleCell cell) {
    const GlyphRows& glyph = ConsoleGlyphs[cell.byte];
    const ColorValue text = paletteColour(cell.attribute);
    const ColorValue background = paletteColour(cell.attribute >> 4);
    ColorValue* row = clientPixels_ + line * GlyphHeight * Width + column * GlyphWidth;
    for (int y = 0; y < GlyphHeight; ++y, row += Width)
        for (int x = 0; x < GlyphWidth; ++x) row[x] = inked(glyph, x, y) ? text : background;
    markChanged(
        {client_.x + column * GlyphWidth, client_.y + line * GlyphHeight, GlyphWidth, GlyphHeight});
}

void DesktopPicture::fill(Rect area, ColorValue colour) {
    for (int y = area.y; y < area.y + area.height; ++y) {
        ColorValue* row = pixels_.data() + y * Width;
        std::fill(row + area.x, row + area.x + area.width, colour);
    }
    markChanged(area);
}

// Inverting twice gives the pixels back, so hiding the cursor restores what it covered.
void DesktopPicture::invertCursor(CellPosition at) {
    ColorValue* row =
        clientPixels_ + ((at.line + 1) * GlyphHeight - CursorRows) * Width + at.column * GlyphWidth;
    for (int y = 0; y < CursorRows; ++y, row += Width)
        for (int x = 0; x < GlyphWidth; ++x) row[x] ^= 0xFFFFFF;
    markChanged({client_.x + at.column * GlyphWidth,
                 client_.y + (at.line + 1) * GlyphHeight - CursorRows, GlyphWidth, CursorRows});
}

} // namespace veloria
