// The terminal the show runs on, shared by the console text and the gallery: its description,
// writing to it, asking it questions, and registering how to undo each change made to it.
// One implementation for a POSIX terminal on standard output, plus a recording fake for tests.
#pragma once

#include "terminal/TerminalDescription.h"
#include "terminal/TerminalGeometry.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace veloria {

// What may be undone; each is registered once.
enum class Restore { Size, Autowrap, Colors, Cursor };

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
    // Registers bytes that undo a change the caller is about to make; they are written when
    // the show ends or is ended by a signal, in registration order. A key registers once: the
    // first state seen is the one restored.
    virtual void onRestore(Restore key, std::string_view undo) = 0;
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
