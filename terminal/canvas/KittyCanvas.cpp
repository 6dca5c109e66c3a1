#include "terminal/canvas/KittyCanvas.h"

#include "terminal/Base64.h"
#include "terminal/SharedMemory.h"
#include "terminal/canvas/SparseRgbaZlib.h"
#include "terminal/canvas/Viewport.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <climits>
#include <cstdint>
#include <thread>
#include <vector>
#include <zlib.h>

namespace veloria {
namespace {

// Base64 characters per escape sequence, the protocol's largest chunk.
constexpr std::size_t ChunkSize = 4096;

void appendNumber(std::string& out, long long value) {
    char digits[24];
    auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end);
}

// How long the terminal is given at the end to take the frames it has not taken yet.
constexpr auto LastFramesWait = std::chrono::milliseconds(300);
// Objects the terminal has not taken are kept at most this many: beyond them it reads none.
constexpr std::size_t MostObjectsWaiting = 8;
// Frames from one whole image to the next through the pty, at most: a second at 30 frames a
// second. The terminal draws every overlay it holds whenever it repaints, so the pile is kept
// short; a whole image costs the terminal as much as a few dozen overlays.
constexpr unsigned WholeImageEvery = 30;

class KittyCanvas final : public TerminalCanvas {
public:
    explicit KittyCanvas(KittyTransfer transfer) : transfer_(transfer) {}
    // The deflate state points into itself and owns zlib's buffers: never copied, always ended.
    KittyCanvas(const KittyCanvas&) = delete;
    KittyCanvas& operator=(const KittyCanvas&) = delete;
    ~KittyCanvas() override {
        if (deflating_) deflateEnd(&stream_);
        // The terminal removes each object as it reads it; what it has not read by now it
        // never will.
        auto deadline = std::chrono::steady_clock::now() + LastFramesWait;
        while (forgetTaken() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        for (const std::string& name : waiting_) removeSharedMemory(name);
    }

    void encodeFrame(const PixelSurface& surface, const TerminalGeometry& terminal,
                     std::string& out) override {
        if (terminal != geometry_) layOut(surface.layout(), terminal);
        if (view_.target.width <= 0 || view_.target.height <= 0) return;
        bool changed = sampled_ ? sampleSetPixels(surface) : sampleAll(surface);
        sampled_ = true;
        if (shown_ && !changed) return;
        // Where much of the picture changed, the whole image is the smaller.
        bool whole = !shown_ || transfer_ == KittyTransfer::SharedMemory ||
                     overlays_ + 1 >= WholeImageEvery || changed_.size() > rgb_.size() / 3 / 8;
        if (!shown_) out += "\x1b[0;40m\x1b[2J\x1b[0m"; // black around the image
        shown_ = true;
        if (!whole) {
            appendOverlay(out, FirstKittyOverlayId + overlays_++);
            return;
        }
        unsigned shown = KittyImageIds[current_];
        current_ ^= 1;
        // A frame whose object cannot be made goes through the pty.
        if (transfer_ != KittyTransfer::SharedMemory ||
            !appendSharedTransmission(out, KittyImageIds[current_]))
            appendTransmission(out, KittyImageIds[current_]);
        // What the new image covers goes once it is shown.
        if (anyShown_) appendDeletion(out, shown);
        for (unsigned k = 0; k < overlays_; ++k) appendDeletion(out, FirstKittyOverlayId + k);
        overlays_ = 0;
        anyShown_ = true;
    }

    void invalidate() override {
        shown_ = false;
        sampled_ = false;
    }

private:
    void layOut(const WindowLayout& window, const TerminalGeometry& terminal) {
        geometry_ = terminal;
        shown_ = false;
        sampled_ = false;
        view_ = pixelViewport(window, terminal, INT_MAX, INT_MAX);
        if (view_.target.width <= 0 || view_.target.height <= 0) return;
        // More pixels than the surface has would only repeat them: a larger screen gets the
        // surface's own pixels, stretched by the terminal over the cells the target covers.
        width_ = std::min(view_.target.width, view_.source.width);
        height_ = std::min(view_.target.height, view_.source.height);
        columns_ = sourceEdges(view_.source.x, view_.source.width, width_);
        rows_ = sourceEdges(view_.source.y, view_.source.height, height_);
        setPixelDots_ = SetPixelDots(columns_, rows_, window);
        rgb_.assign(static_cast<std::size_t>(width_) * height_ * 3, 0);
    }

    void put(int x, int y, ColorValue c) {
        std::uint8_t* to = &rgb_[(static_cast<std::size_t>(y) * width_ + x) * 3];
        to[0] = static_cast<std::uint8_t>(redOf(c));
        to[1] = static_cast<std::uint8_t>(greenOf(c));
        to[2] = static_cast<std::uint8_t>(blueOf(c));
    }

    // Samples the whole frame; true.
    bool sampleAll(const PixelSurface& surface) {
        // What is set from now on is looked at next frame.
        surface.takeSetPixels([](std::size_t) {});
        changed_.clear();
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x) put(x, y, surface.at(columns_[x], rows_[y]));
        return true;
    }

    // Samples again the image pixels that show pixels set since the last frame, noting those
    // that changed, in order (the image is never larger than the surface, so a surface pixel
    // shows on one image pixel at most, and they come in the surface's order); whether any did.
    bool sampleSetPixels(const PixelSurface& surface) {
        changed_.clear();
        setPixelDots_.take(surface, [&](int x, int y, ColorValue c) {
            OpaquePixel now{
                static_cast<std::uint32_t>(y * width_ + x), static_cast<std::uint8_t>(redOf(c)),
                static_cast<std::uint8_t>(greenOf(c)), static_cast<std::uint8_t>(blueOf(c))};
            std::uint8_t* was = &rgb_[std::size_t{now.at} * 3];
            if (was[0] == now.red && was[1] == now.green && was[2] == now.blue) return;
            was[0] = now.red;
            was[1] = now.green;
            was[2] = now.blue;
            changed_.push_back(now);
        });
        return !changed_.empty();
    }

    void compress() {
        if (!deflating_) {
            // Run lengths only: about half the time of the default matching on a whole image,
            // which would make the pictures a quarter smaller (noise not at all) but takes the
            // presenter past its share of a core.
            deflateInit2(&stream_, Z_BEST_SPEED, Z_DEFLATED, 15, 8, Z_RLE);
            deflating_ = true;
        } else {
            deflateReset(&stream_);
        }
        compressed_.resize(deflateBound(&stream_, static_cast<uLong>(rgb_.size())));
        stream_.next_in = rgb_.data();
        stream_.avail_in = static_cast<uInt>(rgb_.size());
        stream_.next_out = compressed_.data();
        stream_.avail_out = static_cast<uInt>(compressed_.size());
        deflate(&stream_, Z_FINISH);
        compressed_.resize(stream_.total_out);
    }

    // Deletes the image and frees its data.
    static void appendDeletion(std::string& out, unsigned id) {
        out += "\x1b_Ga=d,d=I,q=2,i=";
        appendNumber(out, id);
        out += "\x1b\\";
    }

    // Forgets the objects the terminal has taken; whether any are still waiting.
    bool forgetTaken() {
        std::erase_if(waiting_, [](const std::string& name) { return !sharedMemoryExists(name); });
        return !waiting_.empty();
    }

    void appendPosition(std::string& out) const {
        out += "\x1b[";
        appendNumber(out, view_.target.y / view_.cellHeight + 1);
        out += ';';
        appendNumber(out, view_.target.x / view_.cellWidth + 1);
        out += 'H';
    }

    // Transmit and show, RGB (24) or RGBA (32), no cursor move, no replies; placed over the
    // target's cells, the offset within the first cell centring the image to the pixel. Each
    // image goes above those before it, and has a placement id: a terminal may drop a
    // placement without one that a later one covers, even one that is mostly transparent.
    void appendImageKeys(std::string& out, unsigned id, int format = 24) {
        out += "a=T,f=";
        appendNumber(out, format);
        out += ",C=1,q=2,p=1,i=";
        appendNumber(out, id);
        out += ",z=";
        appendNumber(out, ++z_);
        out += ",s=";
        appendNumber(out, width_);
        out += ",v=";
        appendNumber(out, height_);
        if (width_ < view_.target.width || height_ < view_.target.height) {
            out += ",c=";
            appendNumber(out,
                         std::max(1, (view_.target.width + view_.cellWidth / 2) / view_.cellWidth));
            out += ",r=";
            appendNumber(
                out, std::max(1, (view_.target.height + view_.cellHeight / 2) / view_.cellHeight));
        }
        out += ",X=";
        appendNumber(out, view_.target.x % view_.cellWidth);
        out += ",Y=";
        appendNumber(out, view_.target.y % view_.cellHeight);
    }

    // The pixels in a new shared-memory object, its name through the pty; false where no
    // object could be made.
    bool appendSharedTransmission(std::string& out, unsigned id) {
        forgetTaken();
        if (waiting_.size() >= MostObjectsWaiting) {
            removeSharedMemory(waiting_.front());
            waiting_.erase(waiting_.begin());
        }
        std::string name = newSharedMemoryName();
        if (!writeSharedMemory(name, rgb_)) return false;
        waiting_.push_back(name);
        appendPosition(out);
        out += "\x1b_G";
        appendImageKeys(out, id);
        out += ",t=s;";
        appendBase64(out, name);
        out += "\x1b\\";
        return true;
    }

    void appendTransmission(std::string& out, unsigned id) {
        compress();
        appendCompressed(out, id, 24);
    }

    // Only the pixels that changed, the rest of the image transparent.
    void appendOverlay(std::string& out, unsigned id) {
        compressed_.clear();
        appendSparseRgbaZlib(compressed_, rgb_.size() / 3, changed_);
        appendCompressed(out, id, 32);
    }

    // The image in compressed_, through the pty in chunks.
    void appendCompressed(std::string& out, unsigned id, int format) {
        appendPosition(out);
        encoded_.clear();
        appendBase64(encoded_, compressed_.data(), compressed_.size());
        for (std::size_t at = 0; at < encoded_.size() || at == 0; at += ChunkSize) {
            bool last = at + ChunkSize >= encoded_.size();
            out += "\x1b_G";
            if (at == 0) {
                appendImageKeys(out, id, format);
                out += ",o=z,";
            }
            out += last ? "m=0;" : "m=1;";
            out.append(encoded_, at, ChunkSize);
            out += "\x1b\\";
        }
    }

    KittyTransfer transfer_;
    std::vector<std::string> waiting_; // shared-memory objects the terminal has not taken
    TerminalGeometry geometry_;
    Viewport view_;
    std::vector<int> columns_;
    std::vector<int> rows_;
    SetPixelDots setPixelDots_;
    int width_ = 0; // of the image sent
    int height_ = 0;
    std::vector<std::uint8_t> rgb_;    // the frame's image
    bool sampled_ = false;             // rgb_ holds the surface as laid out
    bool shown_ = false;               // the screen shows rgb_
    std::vector<OpaquePixel> changed_; // the image pixels this frame changed, in order
    unsigned current_ = 0;             // which of the two ids the last whole image was shown under
    bool anyShown_ = false;            // a whole image is on the terminal
    unsigned overlays_ = 0;            // overlays on it, under the ids from FirstKittyOverlayId
    int z_ = 0;                        // the last image's z-index
    z_stream stream_{};
    bool deflating_ = false;
    std::vector<std::uint8_t> compressed_;
    std::string encoded_;
};

} // namespace

std::unique_ptr<TerminalCanvas> makeKittyCanvas(KittyTransfer transfer) {
    return std::make_unique<KittyCanvas>(transfer);
}

} // namespace veloria
