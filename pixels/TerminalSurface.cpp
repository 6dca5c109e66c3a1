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
        if (std::getenv("VELORIA_STATS")) {
            const auto& c = presenter_->counters();
            std::fprintf(stderr, "veloria: %llu frames shown, %llu dropped, %llu bytes\n",
                         static_cast<unsigned long long>(c.framesShown),
                         static_cast<unsigned long long>(c.framesDropped),
                         static_cast<unsigned long long>(c.bytesWritten));
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
        canvas_ = makeCanvas(askForCanvas());
        if (!canvas_) return; // a terminal that shows no pictures: the gallery only keeps time
        terminal_->change(Setting::Cursor, "\x1b[?25l", "\x1b[?25h");
        // The pictures themselves are made again by drawing the whole screen after a continue.
        if (std::string farewell = canvas_->farewell(); !farewell.empty())
            terminal_->change(Setting::Graphics, "", farewell);
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

    // Asks the terminal what it can show, where it takes questions at all.
    CanvasChoice askForCanvas() {
        const TerminalDescription& terminal = terminal_->description();
        if (!terminal.escapes) return {};
        return chooseCanvas(terminal,
                            parseTerminalReplies(terminal_->ask(graphicsQuestions(terminal))));
    }

    void present() {
        TerminalGeometry geometry = terminal_->currentSize();
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
                geometry = terminal_->currentSize();
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
