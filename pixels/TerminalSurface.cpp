// The picture is drawn whole again after the terminal changed its size (looked at before
// every frame) or when the show is continued after a stop.
#include "pixels/TerminalSurface.h"

#include "pixels/FrameWriter.h"
#include "pixels/GalleryGeometry.h"
#include "pixels/Presenter.h"
#include "terminal/QuietThread.h"
#include "terminal/SharedMemory.h"
#include "terminal/ThreadCpuTime.h"
#include "terminal/canvas/CanvasFactory.h"

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <thread>

namespace veloria {
namespace {

// How long a terminal is given to take a size request at the end.
constexpr auto ResizeWait = std::chrono::milliseconds(300);

class TerminalSurface final : public WindowSurface {
public:
    TerminalSurface(std::shared_ptr<Terminal> terminal, std::unique_ptr<PaceClock> paceClock)
        : terminal_(std::move(terminal)), paceClock_(std::move(paceClock)) {}

    ~TerminalSurface() override {
        if (!presenter_) return;
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_one();
        thread_.join();
        // What the show writes from here on comes after the last frame.
        writer_->finish();
        showTheLastPicture();
        if (std::getenv("VELORIA_STATS")) {
            const auto& c = presenter_->counters();
            char line[160];
            std::snprintf(
                line, sizeof line,
                "veloria: %llu frames shown, %llu dropped, %llu bytes, %lld ms of "
                "presenter CPU",
                static_cast<unsigned long long>(c.framesShown),
                static_cast<unsigned long long>(c.framesDropped),
                static_cast<unsigned long long>(c.bytesWritten),
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                           presenterCpu_ + writer_->cpuTime())
                                           .count()));
            terminal_->reportAfterRestore(line);
        }
    }

    // The gallery starts here: the terminal is asked what it can show.
    WindowHandle GetConsoleWindow() override {
        if (!started_) start();
        return this;
    }
    DeviceContext GetDC(WindowHandle) override { return &surface_; }
    ModuleHandle GetWindowModule(WindowHandle) override { return programModule(); }

    void SetPixel(DeviceContext, int x, int y, ColorValue colour) override {
        surface_.set(x, y, colour);
        drawn_.store(drawn_.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
        pace_.tick();
    }

private:
    void start() {
        started_ = true;
        CanvasChoice choice = askForCanvas();
        cellSize_ = choice.cellSize;
        overlays_ = choice.kind == CanvasKind::Sixel ||
                    (choice.kind == CanvasKind::Kitty && !choice.sharedMemory);
        canvas_ = makeCanvas(choice);
        if (!canvas_) return; // a terminal that shows no pictures: the gallery only keeps time
        terminal_->change(Setting::Cursor, "\x1b[?25l", std::string(BelowThePicture) + "\x1b[?25h");
        // The gallery starts on a clean screen: nothing left of the slides, and no row still
        // marked as continuing the next, which a terminal that rewraps on resizing would join.
        // After a continue the whole screen is drawn again.
        terminal_->write("\x1b[0m\x1b[H\x1b[2J");
        writer_.emplace([terminal = terminal_](std::string_view bytes) { terminal->write(bytes); });
        presenter_.emplace(
            surface_, *canvas_, [this](std::string_view frame) { writer_->write(frame); },
            [] { return std::chrono::steady_clock::now(); });
        thread_ = startQuietThread([this] { present(); });
    }

    // The last picture as the show leaves it. A terminal that rewraps its lines when resized
    // (VTE, urxvt) would shear it when the show puts the terminal's size back: so the size goes
    // back here, on a cleared screen, and the picture is drawn again at that size once the
    // terminal has taken it. A picture of overlays is drawn whole again in any case: xterm draws
    // its pile of sixel images again when the screen scrolls below the picture, and without a
    // whole image last it showed the gallery's first picture there; a kitty terminal would keep
    // every overlay's full-size image for as long as the picture stays.
    void showTheLastPicture() {
        std::optional<TerminalGeometry> original = terminal_->originalSize();
        TerminalGeometry now = terminal_->currentSize();
        bool resize = original && (original->columns != now.columns || original->rows != now.rows);
        if (resize) {
            terminal_->write("\x1b[0m\x1b[H\x1b[2J" +
                             sizeRequest(original->columns, original->rows));
            auto deadline = std::chrono::steady_clock::now() + ResizeWait;
            while (terminal_->currentSize() == now && std::chrono::steady_clock::now() < deadline)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        if (resize || overlays_) presenter_->present(drawn_.load(), shownSize(), true);
    }

    // Asks the terminal what it can show, where it takes questions at all.
    CanvasChoice askForCanvas() {
        const TerminalDescription& terminal = terminal_->description();
        if (!terminal.escapes) return {};
        TerminalReplies replies = parseTerminalReplies(terminal_->ask(graphicsQuestions(terminal)));
        if (replies.kittyGraphics) replies.kittySharedMemory = takesSharedMemory();
        return chooseCanvas(terminal, replies);
    }

    // Whether a kitty terminal takes frames through shared memory: asked with a 1 x 1 image in
    // an object made for the question, removed afterwards whatever the terminal did with it.
    // No other terminal gets an object at all.
    bool takesSharedMemory() {
        std::string probe = newSharedMemoryName();
        const std::uint8_t black[3] = {};
        if (!writeSharedMemory(probe, black)) return false;
        bool taken =
            parseTerminalReplies(terminal_->ask(kittySharedMemoryQuery(probe))).kittySharedMemory;
        removeSharedMemory(probe);
        return taken;
    }

    TerminalGeometry shownSize() const { return gridInPixels(terminal_->currentSize(), cellSize_); }

    void present() {
        TerminalGeometry size = terminal_->currentSize();
        TerminalGeometry geometry = gridInPixels(size, cellSize_);
        unsigned continues = terminal_->continues();
        bool disturbed = true;
        std::unique_lock lock(mutex_);
        while (true) {
            bool last = stopping_;
            lock.unlock();
            auto next =
                presenter_->present(drawn_.load(std::memory_order_relaxed), geometry, disturbed);
            lock.lock();
            if (last) {
                presenterCpu_ = threadCpuTime();
                return;
            }
            wake_.wait_until(lock, next, [this] { return stopping_; });
            // After a stop the terminal may have been cleared, used or resized meanwhile.
            TerminalGeometry sizeNow = terminal_->currentSize();
            disturbed = sizeNow != size || terminal_->continues() != continues;
            if (disturbed) {
                size = sizeNow;
                continues = terminal_->continues();
                geometry = gridInPixels(size, cellSize_);
            }
        }
    }

    std::shared_ptr<Terminal> terminal_;
    std::unique_ptr<PaceClock> paceClock_;
    bool started_ = false;
    PixelSurface surface_{GalleryWindow};
    std::atomic<std::uint64_t> drawn_{0};
    PixelPace pace_{PixelCallsPerSecond, *paceClock_};
    std::unique_ptr<TerminalCanvas> canvas_;
    std::optional<CellSize> cellSize_;
    bool overlays_ = false; // the canvas may leave a pile of overlays on the terminal
    std::optional<FrameWriter> writer_;
    std::optional<Presenter> presenter_;
    std::thread thread_;
    std::chrono::nanoseconds presenterCpu_{}; // what the presenter's thread used, once it ended
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
};

} // namespace

std::unique_ptr<WindowSurface> makeTerminalSurface(std::shared_ptr<Terminal> terminal,
                                                   std::unique_ptr<PaceClock> paceClock) {
    return std::make_unique<TerminalSurface>(std::move(terminal), std::move(paceClock));
}

} // namespace veloria
