#include "pixels/VisibleConsoleWindow.h"

#include <gtest/gtest.h>
#include <optional>

namespace veloria {
namespace {

// A console window as the window calls describe it, or none at all.
struct FakeWindow {
    bool visible = false;
    std::string className;
};

class FakeWindowCalls final : public ConsoleWindowCalls {
public:
    explicit FakeWindowCalls(std::optional<FakeWindow> window) : window_(std::move(window)) {}

    WindowHandle GetConsoleWindow() override { return window_ ? &*window_ : nullptr; }
    bool IsWindowVisible(WindowHandle window) override { return of(window).visible; }
    std::string WindowClassName(WindowHandle window) override { return of(window).className; }

private:
    FakeWindow& of(WindowHandle window) {
        EXPECT_EQ(window, &*window_) << "asked about a window that is not the console's";
        return *window_;
    }
    std::optional<FakeWindow> window_;
};

TEST(VisibleConsoleWindow, OnlyAWindowAPersonCanSeeIsPaintedOn) {
    const struct {
        const char* name;
        std::optional<FakeWindow> window;
        bool visible;
    } cases[] = {
        {"the classic console window", FakeWindow{true, "ConsoleWindowClass"}, true},
        {"Wine's console window", FakeWindow{true, "WineConsoleClass"}, true},
        {"Wine's console run inside a terminal", FakeWindow{false, "WineConsoleClass"}, false},
        {"a pseudo console's hidden stand-in", FakeWindow{false, "PseudoConsoleWindow"}, false},
        // Newer hosts make the stand-in claim to be visible; nothing drawn into it is seen.
        {"a stand-in that claims to be visible", FakeWindow{true, "PseudoConsoleWindow"}, false},
        {"no console window at all", std::nullopt, false},
    };
    for (const auto& c : cases) {
        FakeWindowCalls calls(c.window);
        EXPECT_EQ(hasVisibleConsoleWindow(calls), c.visible) << c.name;
    }
}

} // namespace
} // namespace veloria
