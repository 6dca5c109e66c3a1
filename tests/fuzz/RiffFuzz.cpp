// Feeds arbitrary bytes to the WAVE reader: it must reject them or point at samples that lie
// wholly inside the buffer.
#include "media/RiffWave.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto bytes = std::as_bytes(std::span(data, size));
    auto sound = veloria::parseWave(bytes);
    if (sound && !sound->samples.empty()) {
        volatile std::byte first = sound->samples.front(), last = sound->samples.back();
        (void)first;
        (void)last;
    }
    return 0;
}
