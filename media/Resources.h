// The media carried inside the program's own executable, found by type and name the way
// Windows finds resources in a module: the bytes in place, never copied, valid until the
// process ends.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

namespace veloria {

// "SOUND" (a named type) for the track; RT_BITMAP for the pictures, stored as packed DIBs.
enum class ResourceType { Sound, Bitmap };

// A module that holds resources: on Windows an HINSTANCE; elsewhere the program's own media.
using ModuleHandle = const void*;

// The module of the running program.
ModuleHandle programModule();

// The resource's bytes, or nothing when the module has no resource of that type and name.
std::optional<std::span<const std::byte>> findResource(ModuleHandle module, ResourceType type,
                                                       std::string_view name);

} // namespace veloria
