#include "media/Music.h"
#include "media/Resources.h"

#include <string>
#include <windows.h>

namespace veloria {
namespace {

// Wine's player looks resources up under the type "WAVE" only, and an asynchronous call
// still reports success while nothing plays; Windows' own player finds "SOUND".
bool playerFindsSoundResources() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return !(ntdll && GetProcAddress(ntdll, "wine_get_version"));
}

class WindowsMusic final : public Music {
public:
    void play(std::string_view name) override {
        std::string key(name);
        if (playerFindsSoundResources()) {
            PlaySoundA(key.c_str(), nullptr, SND_RESOURCE | SND_ASYNC);
            return;
        }
        // The same resource bytes, played from memory: they stay mapped until the process ends.
        if (auto bytes = findResource(programModule(), ResourceType::Sound, name))
            PlaySoundA(reinterpret_cast<LPCSTR>(bytes->data()), nullptr, SND_MEMORY | SND_ASYNC);
    }
};

} // namespace

std::unique_ptr<Music> openMusic() {
    return std::make_unique<WindowsMusic>();
}

} // namespace veloria
