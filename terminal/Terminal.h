// The terminal the show runs on, shared by the console text and the gallery: its description,
// writing to it, asking it questions, and changing its settings in a way that can be undone
// and made again.
// One implementation for a POSIX terminal on standard output, plus a recording fake for tests.
#pragma once

#include "terminal/TerminalDescription.h"
#include "terminal/TerminalGeometry.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace veloria {

// What the show changes on the terminal.
enum class Setting { Size, Autowrap, Colors, Cursor };

class Terminal {
public:
    virtual ~Terminal() = default;

    virtual const TerminalDescription& description() const = 0;
    // Writes all the bytes at once; may be called from any thread. A terminal that is gone
    // takes them silently, as there is nobody left to tell.
    virtual void write(std::string_view bytes) = 0;
    // Writes the questions and the device attributes request; returns what was received in
    // answer, empty where nothing could be asked.
    virtual std::string ask(std::string_view questions) = 0;
    // Changes a setting: writes `apply`, and keeps it with the bytes that undo it. The undo
    // bytes are written when the show ends, is ended by a signal or is stopped (Ctrl-Z), in
    // the order the settings were first changed; of a setting's undo bytes the first hold, so
    // the state the show found is the one restored. When a stopped show is continued, each
    // setting's latest `apply` bytes are written again.
    virtual void change(Setting setting, std::string_view apply, std::string_view undo) = 0;
    // How many times the show was continued after a stop. The screen may have been used
    // meanwhile, so whatever the show keeps on it must be drawn again.
    virtual unsigned continues() const = 0;
    // Keeps a line for standard error until the terminal has been put back, so that it is
    // printed below the show rather than over it.
    virtual void reportAfterRestore(std::string line) = 0;
    // The size when the show started, and now.
    virtual std::optional<TerminalGeometry> originalSize() const = 0;
    virtual TerminalGeometry currentSize() const = 0;
    // Waits for a line of input.
    virtual void readKey() = 0;
};

// The terminal on this process's standard output. Every caller gets the same one, kept while
// anyone holds it; the last holder's release puts the terminal back as it was found.
std::shared_ptr<Terminal> standardTerminal();

} // namespace veloria
