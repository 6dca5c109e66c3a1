#include "pixels/GalleryGeometry.h"
#include "terminal/canvas/KittyCanvas.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <fcntl.h>
#include <map>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace veloria {
namespace {

// One graphics command: its keys and its payload.
struct Command {
    std::map<std::string, std::string> keys;
    std::string payload;
};

std::vector<Command> graphicsCommands(const std::string& bytes) {
    std::vector<Command> commands;
    std::size_t at = 0;
    while ((at = bytes.find("\x1b_G", at)) != std::string::npos) {
        std::size_t end = bytes.find("\x1b\\", at);
        std::string body = bytes.substr(at + 3, end - at - 3);
        std::size_t semicolon = body.find(';');
        Command command;
        std::string control = body.substr(0, semicolon);
        if (semicolon != std::string::npos) command.payload = body.substr(semicolon + 1);
        std::size_t from = 0;
        while (from < control.size()) {
            std::size_t comma = control.find(',', from);
            if (comma == std::string::npos) comma = control.size();
            std::string pair = control.substr(from, comma - from);
            command.keys[pair.substr(0, pair.find('='))] = pair.substr(pair.find('=') + 1);
            from = comma + 1;
        }
        commands.push_back(command);
        at = end + 2;
    }
    return commands;
}

std::vector<std::uint8_t> decodeBase64(const std::string& text) {
    static const std::string alphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::vector<std::uint8_t> out;
    unsigned bits = 0;
    int count = 0;
    for (char c : text) {
        if (c == '=') break;
        std::size_t v = alphabet.find(c);
        EXPECT_NE(v, std::string::npos) << "not base64: " << c;
        bits = bits << 6 | static_cast<unsigned>(v);
        count += 6;
        if (count >= 8) {
            count -= 8;
            out.push_back(static_cast<std::uint8_t>(bits >> count));
        }
    }
    return out;
}

std::vector<std::uint8_t> inflate(const std::vector<std::uint8_t>& data, std::size_t expected) {
    std::vector<std::uint8_t> out(expected + 1);
    uLongf size = static_cast<uLongf>(out.size());
    EXPECT_EQ(uncompress(out.data(), &size, data.data(), static_cast<uLong>(data.size())), Z_OK);
    out.resize(size);
    return out;
}

// The image one frame transmits, with the first command's keys, and the commands after it.
struct Transmission {
    std::map<std::string, std::string> keys;
    std::vector<std::uint8_t> rgb; // or RGBA, as the format f says
    std::vector<Command> after;
};

Transmission transmission(const std::string& bytes) {
    auto commands = graphicsCommands(bytes);
    Transmission t;
    if (commands.empty()) return t;
    t.keys = commands.front().keys;
    std::size_t chunks = 0;
    while (chunks < commands.size() && commands[chunks].keys["m"] != "0") ++chunks;
    t.after.assign(commands.begin() +
                       static_cast<std::ptrdiff_t>(std::min(chunks + 1, commands.size())),
                   commands.end());
    commands.resize(std::min(chunks + 1, commands.size()));
    std::string base64;
    for (std::size_t i = 0; i < commands.size(); ++i) {
        const Command& c = commands[i];
        bool last = i + 1 == commands.size();
        EXPECT_EQ(c.keys.at("m"), last ? "0" : "1");
        if (i > 0) {
            EXPECT_EQ(c.keys.size(), 1u) << "later chunks carry only m";
        }
        EXPECT_LE(c.payload.size(), 4096u);
        if (!last) {
            EXPECT_EQ(c.payload.size() % 4, 0u);
        }
        base64 += c.payload;
    }
    std::size_t size =
        std::stoul(t.keys.at("s")) * std::stoul(t.keys.at("v")) * std::stoul(t.keys.at("f")) / 8;
    t.rgb = inflate(decodeBase64(base64), size);
    return t;
}

// Sets every pixel of the surface to noise made from the seed.
void paintNoise(PixelSurface& surface, std::uint32_t seed) {
    for (int y = 0; y < surface.height(); ++y)
        for (int x = 0; x < surface.width(); ++x) {
            seed = seed * 1664525u + 1013904223u;
            surface.set(x, y, seed >> 8);
        }
}

// Sets count pixels at random places to random colours, going on from seed.
void setRandomPixels(PixelSurface& surface, std::uint32_t& seed, int count) {
    for (int i = 0; i < count; ++i) {
        seed = seed * 1664525u + 1013904223u;
        surface.set(static_cast<int>(seed >> 8) % surface.width(),
                    static_cast<int>(seed >> 4) % surface.height(), seed & 0xFFFFFF);
    }
}

PixelSurface noise(std::uint32_t seed) {
    PixelSurface surface{GalleryWindow};
    paintNoise(surface, seed);
    return surface;
}

// The screen as the terminal shows the image after a frame: a whole image replaces it, an
// overlay's opaque pixels are drawn over it.
void showOn(std::vector<std::uint8_t>& screen, const Transmission& t) {
    if (t.keys.at("f") == "24") {
        screen = t.rgb;
        return;
    }
    ASSERT_EQ(t.keys.at("f"), "32");
    ASSERT_EQ(t.rgb.size() / 4, screen.size() / 3);
    for (std::size_t i = 0; i < screen.size() / 3; ++i) {
        std::uint8_t alpha = t.rgb[4 * i + 3];
        ASSERT_TRUE(alpha == 0 || alpha == 255);
        if (alpha == 255)
            for (int c = 0; c < 3; ++c) screen[3 * i + c] = t.rgb[4 * i + c];
    }
}

// The cursor move before the first image.
std::string positionOf(const std::string& bytes) {
    std::size_t image = bytes.find("\x1b_G");
    std::size_t move = bytes.rfind("\x1b[", image);
    return bytes.substr(move, image - move);
}

TEST(KittyCanvas, TransmitsTheFrameRgbPixelForPixel) {
    // A console-sized screen: the whole surface at one pixel per pixel.
    const TerminalGeometry terminal{GalleryWindow.columns, GalleryWindow.rows,
                                    GalleryWindow.width(), GalleryWindow.height()};
    auto canvas = makeKittyCanvas(KittyTransfer::Compressed);
    PixelSurface surface = noise(1);
    std::string bytes;
    canvas->encodeFrame(surface, terminal, bytes);
    Transmission t = transmission(bytes);
    EXPECT_EQ(t.keys.at("a"), "T");
    EXPECT_EQ(t.keys.at("f"), "24");
    EXPECT_EQ(t.keys.at("o"), "z");
    EXPECT_EQ(t.keys.at("q"), "2");
    EXPECT_EQ(t.keys.at("C"), "1");
    ASSERT_EQ(t.keys.at("s"), "1150");
    ASSERT_EQ(t.keys.at("v"), "1020");
    ASSERT_EQ(t.rgb.size(), 1150u * 1020 * 3);
    for (std::size_t i = 0; i < surface.pixels.size(); ++i) {
        ColorValue c = surface.pixels[i];
        ASSERT_EQ(t.rgb[3 * i], redOf(c));
        ASSERT_EQ(t.rgb[3 * i + 1], greenOf(c));
        ASSERT_EQ(t.rgb[3 * i + 2], blueOf(c));
    }

    std::string unchanged;
    canvas->encodeFrame(surface, terminal, unchanged);
    EXPECT_EQ(unchanged, "");
    surface.set(3, 4, rgb(1, 2, 3));
    std::string next;
    canvas->encodeFrame(surface, terminal, next);
    // That pixel alone, over the image shown.
    Transmission second = transmission(next);
    ASSERT_EQ(second.keys.at("f"), "32");
    ASSERT_EQ(second.rgb.size(), 1150u * 1020 * 4);
    std::vector<std::uint8_t> opaque;
    for (std::size_t i = 0; i < second.rgb.size() / 4; ++i)
        if (second.rgb[4 * i + 3] != 0)
            opaque.push_back(static_cast<std::uint8_t>(i == 4 * 1150 + 3));
    EXPECT_EQ(opaque, std::vector<std::uint8_t>{1});
    const std::size_t at = 4 * (4 * 1150 + 3);
    EXPECT_EQ(std::vector<std::uint8_t>(second.rgb.begin() + at, second.rgb.begin() + at + 4),
              (std::vector<std::uint8_t>{1, 2, 3, 255}));
}

TEST(KittyCanvas, SmallScreenGetsTheDrawingAreaScaledAndCentred) {
    const TerminalGeometry terminal{80, 24, 640, 384};
    auto canvas = makeKittyCanvas(KittyTransfer::Compressed);
    std::string bytes;
    canvas->encodeFrame(noise(2), terminal, bytes);
    Transmission t = transmission(bytes);
    EXPECT_EQ(t.keys.at("s"), "384");
    EXPECT_EQ(t.keys.at("v"), "384");
    EXPECT_EQ(t.rgb.size(), 384u * 384 * 3);
    // Centred: 128 pixels from the left, cell 17 (1-based) and no offset within it.
    EXPECT_NE(bytes.find("\x1b[1;17H"), std::string::npos);
    EXPECT_EQ(t.keys.at("X"), "0");
    EXPECT_EQ(t.keys.count("c"), 0u);
}

TEST(KittyCanvas, LargeScreenGetsTheSurfacePixelsStretchedOverTheCells) {
    const TerminalGeometry terminal{240, 67, 1920, 1340};
    auto canvas = makeKittyCanvas(KittyTransfer::Compressed);
    std::string bytes;
    canvas->encodeFrame(noise(3), terminal, bytes);
    Transmission t = transmission(bytes);
    EXPECT_EQ(t.keys.at("s"), "1010");
    EXPECT_EQ(t.keys.at("v"), "1010");
    EXPECT_EQ(t.keys.at("c"), "168"); // 1340 pixels over cells of 8
    EXPECT_EQ(t.keys.at("r"), "67");
}

TEST(KittyCanvas, EachFrameComesUnderTheOtherIdAndOnlyThenIsTheLastDeleted) {
    const TerminalGeometry terminal{80, 24, 640, 384};
    auto canvas = makeKittyCanvas(KittyTransfer::Compressed);
    std::vector<std::string> ids;
    PixelSurface surface{GalleryWindow};
    for (std::uint32_t seed = 10; seed < 14; ++seed) {
        paintNoise(surface, seed);
        std::string bytes;
        canvas->encodeFrame(surface, terminal, bytes);
        Transmission t = transmission(bytes);
        std::string id = t.keys.at("i");
        if (!ids.empty()) {
            EXPECT_NE(id, ids.back()) << "a new image under the shown one's id blanks it";
            ASSERT_EQ(t.after.size(), 1u) << "frame " << ids.size();
            EXPECT_EQ(t.after[0].keys.at("a"), "d");
            EXPECT_EQ(t.after[0].keys.at("d"), "I");
            EXPECT_EQ(t.after[0].keys.at("i"), ids.back());
        } else {
            EXPECT_TRUE(t.after.empty()) << "nothing to delete before the first frame";
        }
        ids.push_back(id);
    }
    EXPECT_EQ(ids[0], ids[2]);
    EXPECT_EQ(ids[1], ids[3]);
}

// Each frame's image is the surface as a fresh canvas would send it whole, however the
// pixels set between frames fall on the image's pixels: one for one, or shrunk, where most
// surface pixels are not shown at all.
TEST(KittyCanvas, EveryFrameShowsTheSurfaceAsAWholeImageWould) {
    for (const TerminalGeometry& terminal :
         {TerminalGeometry{GalleryWindow.columns, GalleryWindow.rows, GalleryWindow.width(),
                           GalleryWindow.height()},
          TerminalGeometry{80, 24, 640, 384}}) {
        PixelSurface surface = noise(7);
        auto canvas = makeKittyCanvas(KittyTransfer::Compressed);
        std::string first;
        canvas->encodeFrame(surface, terminal, first);
        std::vector<std::uint8_t> screen = transmission(first).rgb;
        std::uint32_t seed = 9;
        for (int frame = 1; frame <= 3; ++frame) {
            setRandomPixels(surface, seed, 20000);
            std::string bytes, whole;
            canvas->encodeFrame(surface, terminal, bytes);
            showOn(screen, transmission(bytes));
            makeKittyCanvas(KittyTransfer::Compressed)->encodeFrame(surface, terminal, whole);
            ASSERT_EQ(screen, transmission(whole).rgb)
                << terminal.columns << " x " << terminal.rows << ", frame " << frame;
        }
    }
}

TEST(KittyCanvas, ThroughThePtyOverlaysOfWhatChangedThenAWholeImageEverySecond) {
    const TerminalGeometry terminal{GalleryWindow.columns, GalleryWindow.rows,
                                    GalleryWindow.width(), GalleryWindow.height()};
    PixelSurface surface = noise(11);
    auto canvas = makeKittyCanvas(KittyTransfer::Compressed);
    std::string first;
    canvas->encodeFrame(surface, terminal, first);
    Transmission base = transmission(first);
    std::vector<std::uint8_t> screen = base.rgb;
    std::vector<std::string> overlayIds;
    int z = std::stoi(base.keys.at("z"));
    std::uint32_t seed = 3;
    for (int frame = 1; frame <= 30; ++frame) {
        setRandomPixels(surface, seed, 4300);
        std::string bytes;
        canvas->encodeFrame(surface, terminal, bytes);
        Transmission t = transmission(bytes);
        // Each image above the last, with a placement id, at the same spot.
        EXPECT_EQ(t.keys.at("p"), "1");
        EXPECT_GT(std::stoi(t.keys.at("z")), z) << "frame " << frame;
        z = std::stoi(t.keys.at("z"));
        EXPECT_EQ(t.keys.at("X"), base.keys.at("X"));
        EXPECT_EQ(positionOf(bytes), positionOf(first));
        showOn(screen, t);
        // One image pixel per surface pixel.
        std::vector<std::uint8_t> expected;
        for (int y = 0; y < surface.height(); ++y)
            for (int x = 0; x < surface.width(); ++x) {
                ColorValue c = surface.at(x, y);
                expected.insert(expected.end(), {static_cast<std::uint8_t>(redOf(c)),
                                                 static_cast<std::uint8_t>(greenOf(c)),
                                                 static_cast<std::uint8_t>(blueOf(c))});
            }
        ASSERT_EQ(screen, expected) << "frame " << frame;
        if (frame < 30) {
            EXPECT_EQ(t.keys.at("f"), "32") << "frame " << frame;
            EXPECT_TRUE(t.after.empty()) << "nothing deleted under an overlay";
            EXPECT_LT(bytes.size(), first.size() / 20) << "frame " << frame;
            EXPECT_EQ(std::count(overlayIds.begin(), overlayIds.end(), t.keys.at("i")), 0);
            overlayIds.push_back(t.keys.at("i"));
        } else {
            // The whole image again, under the other id; then the one before and every
            // overlay go.
            EXPECT_EQ(t.keys.at("f"), "24");
            EXPECT_NE(t.keys.at("i"), base.keys.at("i"));
            std::vector<std::string> deleted;
            for (const Command& c : t.after) {
                EXPECT_EQ(c.keys.at("a"), "d");
                deleted.push_back(c.keys.at("i"));
            }
            overlayIds.insert(overlayIds.begin(), base.keys.at("i"));
            EXPECT_EQ(deleted, overlayIds);
        }
    }
}

TEST(KittyCanvas, InvalidateResendsTheWholeImage) {
    auto canvas = makeKittyCanvas(KittyTransfer::Compressed);
    const TerminalGeometry terminal{80, 24, 640, 384};
    PixelSurface surface = noise(4);
    std::string first, again;
    canvas->encodeFrame(surface, terminal, first);
    canvas->invalidate();
    canvas->encodeFrame(surface, terminal, again);
    EXPECT_NE(again.find("\x1b[2J"), std::string::npos) << "the screen around it cleared again";
    EXPECT_EQ(transmission(again).rgb, transmission(first).rgb);
}

// The bytes of a shared-memory object, as the terminal would read them; empty if it is gone.
std::vector<std::uint8_t> readObject(const std::string& name) {
    std::vector<std::uint8_t> bytes;
    int fd = shm_open(name.c_str(), O_RDONLY, 0);
    if (fd < 0) return bytes;
    struct stat status {};
    fstat(fd, &status);
    bytes.resize(static_cast<std::size_t>(status.st_size));
    EXPECT_EQ(pread(fd, bytes.data(), bytes.size(), 0), status.st_size);
    close(fd);
    return bytes;
}

TEST(KittyCanvas, ThroughSharedMemoryOnlyTheObjectsNameGoesThroughThePty) {
    const TerminalGeometry terminal{GalleryWindow.columns, GalleryWindow.rows,
                                    GalleryWindow.width(), GalleryWindow.height()};
    PixelSurface surface = noise(5);
    std::string compressed;
    makeKittyCanvas(KittyTransfer::Compressed)->encodeFrame(surface, terminal, compressed);
    auto canvas = makeKittyCanvas(KittyTransfer::SharedMemory);
    std::vector<std::string> names;
    for (int frame = 0; frame < 2; ++frame) {
        if (frame == 1) surface.set(3, 4, rgb(1, 2, 3));
        std::string bytes;
        canvas->encodeFrame(surface, terminal, bytes);
        auto commands = graphicsCommands(bytes);
        ASSERT_FALSE(commands.empty());
        const Command& image = commands.front();
        EXPECT_EQ(image.keys.at("t"), "s");
        EXPECT_EQ(image.keys.count("o"), 0u) << "not compressed";
        EXPECT_EQ(image.keys.count("m"), 0u) << "one command";
        EXPECT_LT(bytes.size(), 300u);
        auto name = decodeBase64(image.payload);
        names.emplace_back(name.begin(), name.end());
        // The same pixels as the compressed transmission carries, and the same keys but how.
        std::vector<std::uint8_t> pixels = readObject(names.back());
        if (frame == 0) {
            Transmission t = transmission(compressed);
            EXPECT_EQ(pixels, t.rgb);
            for (const char* key : {"a", "f", "i", "s", "v", "C", "q", "X", "Y"})
                EXPECT_EQ(image.keys.at(key), t.keys.at(key)) << key;
        } else {
            ASSERT_EQ(pixels.size(), 1150u * 1020 * 3);
            EXPECT_EQ(pixels[3 * (4 * 1150 + 3) + 2], 3);
        }
    }
    EXPECT_NE(names[0], names[1]) << "each frame in an object of its own";
    // The terminal takes (and removes) the first; the second it never takes.
    shm_unlink(names[0].c_str());
    canvas.reset();
    EXPECT_TRUE(readObject(names[1]).empty()) << "an object left behind after the show";
}

} // namespace
} // namespace veloria
