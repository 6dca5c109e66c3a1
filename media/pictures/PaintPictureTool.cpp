// paint_picture NAME OUT.bmp: paints one of the show's pictures and writes it as a BMP file.
#include "media/pictures/BmpWriter.h"
#include "media/pictures/Painter.h"

#include <cstdio>
#include <fstream>

using namespace veloria::pictures;

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: paint_picture NAME OUT.bmp\n");
        return 2;
    }
    const Picture* picture = findPicture(argv[1]);
    if (picture == nullptr) {
        std::fprintf(stderr, "paint_picture: no picture named '%s'; the pictures are:", argv[1]);
        for (const Picture& known : pictures()) {
            std::fprintf(stderr, " %.*s", static_cast<int>(known.name.size()), known.name.data());
        }
        std::fprintf(stderr, "\n");
        return 2;
    }
    const std::vector<uint8_t> file = encodeBmp(paint(*picture));
    std::ofstream out(argv[2], std::ios::binary);
    out.write(reinterpret_cast<const char*>(file.data()),
              static_cast<std::streamsize>(file.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "paint_picture: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
