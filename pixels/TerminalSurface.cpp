// The console window on a POSIX terminal: an in-memory surface of the window's client area,
// paced as a Windows console window paces its SetPixel calls, and shown on the terminal by a
// presenter thread through the best canvas the terminal answers for, drawn whole again after
// a resize or when the show is continued after a stop.
#include "pixels/WindowSurface.h"

#include "pixels/GalleryGeometry.h"
#include "pixels/PixelPace.h"
#include "pixels/Presenter.h"
#include "terminal/Terminal.h"
#include "terminal/canvas/CanvasFactory.h"

#include <atomic>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <pthread.h>
#include <thread>

namespace veloria {
namespace {

volatile std::sig_atomic_t terminalResized = 0;
// How long a terminal is given to take a size request at the end.
constexpr auto ResizeWait = std::chrono::milliseconds(300);
void onResize(int) {
    terminalResized = 1;
}

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
        showAtTheOriginalSize();
        if (std::getenv("VELORIA_STATS")) {
            const auto& c = presenter_->counters();
            char line[128];
            std::snprintf(line, sizeof line, "veloria: %llu frames shown, %llu dropped, %llu bytes",
                          static_cast<unsigned long long>(c.framesShown),
                          static_cast<unsigned long long>(c.framesDropped),
                          static_cast<unsigned long long>(c.bytesWritten));
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
        canvas_ = makeCanvas(choice);
        if (!canvas_) return; // a terminal that shows no pictures: the gallery only keeps time
        terminal_->change(Setting::Cursor, "\x1b[?25l",
                          std::string(BelowThePicture) + "\x1b[?25h");
        // The gallery starts on a clean screen: nothing left of the slides, and no row still
        // marked as continuing the next, which a terminal that rewraps on resizing would join.
        // After a continue the whole screen is drawn again.
        terminal_->write("\x1b[0m\x1b[H\x1b[2J");
        struct sigaction action {};
        action.sa_handler = onResize;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        sigaction(SIGWINCH, &action, nullptr);
        presenter_.emplace(surface_, *canvas_, [terminal = terminal_](std::string_view bytes) {
            terminal->write(bytes);
        });
        // The presenter takes no signals, so the terminal's handlers run on the show's thread.
        sigset_t all, previous;
        sigfillset(&all);
        pthread_sigmask(SIG_SETMASK, &all, &previous);
        thread_ = std::thread([this] { present(); });
        pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    }

    // A terminal that rewraps its lines when resized (VTE, urxvt) would shear the last picture
    // when the show puts its size back. So the size goes back here, on a cleared screen, and
    // the picture is drawn again at that size once the terminal has taken it.
    void showAtTheOriginalSize() {
        std::optional<TerminalGeometry> original = terminal_->originalSize();
        TerminalGeometry now = terminal_->currentSize();
        if (!original || (original->columns == now.columns && original->rows == now.rows)) return;
        terminalResized = 0;
        terminal_->write("\x1b[0m\x1b[H\x1b[2J" + sizeRequest(original->columns, original->rows));
        auto deadline = std::chrono::steady_clock::now() + ResizeWait;
        while (!terminalResized && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        presenter_->present(std::chrono::steady_clock::now(), drawn_.load(), shownSize(), true);
    }

    // Asks the terminal what it can show, where it takes questions at all.
    CanvasChoice askForCanvas() {
        const TerminalDescription& terminal = terminal_->description();
        if (!terminal.escapes) return {};
        return chooseCanvas(terminal,
                            parseTerminalReplies(terminal_->ask(graphicsQuestions(terminal))));
    }

    TerminalGeometry shownSize() const { return gridInPixels(terminal_->currentSize(), cellSize_); }

    void present() {
        TerminalGeometry geometry = shownSize();
        unsigned continues = terminal_->continues();
        bool disturbed = true;
        std::unique_lock lock(mutex_);
        while (true) {
            bool last = stopping_;
            lock.unlock();
            auto next =
                presenter_->present(std::chrono::steady_clock::now(),
                                    drawn_.load(std::memory_order_relaxed), geometry, disturbed);
            lock.lock();
            if (last) return;
            wake_.wait_until(lock, next, [this] { return stopping_; });
            // After a stop the terminal may have been cleared, used or resized meanwhile.
            disturbed = terminalResized || terminal_->continues() != continues;
            if (disturbed) {
                terminalResized = 0;
                continues = terminal_->continues();
                geometry = shownSize();
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
    std::optional<Presenter> presenter_;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
};

} // namespace

std::unique_ptr<WindowSurface> openWindowSurface(int clockSpeedup) {
    return std::make_unique<TerminalSurface>(standardTerminal(), openPaceClock(clockSpeedup));
}

} // namespace veloria
