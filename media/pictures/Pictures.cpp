#include "media/pictures/Pictures.h"

#include "media/pictures/Scenes.h"

#include <array>

namespace veloria::pictures {

namespace {

constexpr std::array Table{
    Picture{"QIR", 1000, 790, shadeDisketteScene},
    Picture{"TOLV", 1000, 962, shadeMoonCorona},
    Picture{"SUN", 640, 922, shadeSunrise},
    Picture{"GLASS", 545, 700, shadePrism},
    Picture{"RASKEP", 645, 1000, shadeGiantsShoulders},
};

} // namespace

std::span<const Picture> pictures() {
    return Table;
}

const Picture* findPicture(std::string_view name) {
    for (const Picture& picture : Table) {
        if (picture.name == name) return &picture;
    }
    return nullptr;
}

} // namespace veloria::pictures
