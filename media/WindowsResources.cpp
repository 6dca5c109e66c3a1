#include "media/Resources.h"

#include <string>
#include <windows.h>

namespace veloria {

ModuleHandle programModule() {
    return GetModuleHandleA(nullptr);
}

std::optional<std::span<const std::byte>> findResource(ModuleHandle module, ResourceType type,
                                                       std::string_view name) {
    HMODULE handle = static_cast<HMODULE>(const_cast<void*>(module));
    std::string key(name);
    HRSRC found =
        FindResourceA(handle, key.c_str(), type == ResourceType::Sound ? "SOUND" : RT_BITMAP);
    if (!found) return std::nullopt;
    HGLOBAL loaded = LoadResource(handle, found);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) return std::nullopt;
    return std::span(static_cast<const std::byte*>(bytes), SizeofResource(handle, found));
}

} // namespace veloria
