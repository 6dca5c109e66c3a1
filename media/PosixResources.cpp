#include "media/Resources.h"

#include <algorithm>
#include <iterator>

// Bounds of each medium in the program's read-only data, laid down by EmbeddedMedia.S.
#define VELORIA_MEDIUM(name)                                                                       \
    extern "C" const std::byte veloria_media_##name##_begin[];                                     \
    extern "C" const std::byte veloria_media_##name##_end[];
VELORIA_MEDIUM(VELORIA)
VELORIA_MEDIUM(QIR)
VELORIA_MEDIUM(TOLV)
VELORIA_MEDIUM(SUN)
VELORIA_MEDIUM(GLASS)
VELORIA_MEDIUM(RASKEP)
#undef VELORIA_MEDIUM

namespace veloria {
namespace {

struct Medium {
    ResourceType type;
    std::string_view name;
    const std::byte* begin;
    const std::byte* end;
};

#define VELORIA_ENTRY(type, name)                                                                  \
    Medium {                                                                                       \
        type, #name, veloria_media_##name##_begin, veloria_media_##name##_end                      \
    }
const Medium Media[] = {
    VELORIA_ENTRY(ResourceType::Sound, VELORIA), VELORIA_ENTRY(ResourceType::Bitmap, QIR),
    VELORIA_ENTRY(ResourceType::Bitmap, TOLV),   VELORIA_ENTRY(ResourceType::Bitmap, SUN),
    VELORIA_ENTRY(ResourceType::Bitmap, GLASS),  VELORIA_ENTRY(ResourceType::Bitmap, RASKEP),
};
#undef VELORIA_ENTRY

} // namespace

// The program carries one set of media, and it is the only module there is.
ModuleHandle programModule() {
    return Media;
}

std::optional<std::span<const std::byte>> findResource(ModuleHandle module, ResourceType type,
                                                       std::string_view name) {
    if (module != programModule()) return std::nullopt;
    auto found = std::find_if(std::begin(Media), std::end(Media),
                              [&](const Medium& m) { return m.type == type && m.name == name; });
    if (found == std::end(Media)) return std::nullopt;
    return std::span(found->begin, found->end);
}

} // namespace veloria
