#include "record/VideoConsole.h"

namespace veloria {

// A console window opens at the size Windows gives new consoles, 120 x 30.
VideoConsole::VideoConsole(DesktopPicture& picture) : picture_(picture), screen_(120, 30) {
    picture_.showConsole(screen_);
}

void VideoConsole::setSize(int columns, int lines) {
    screen_.resize(columns, lines);
    picture_.showConsole(screen_);
}

void VideoConsole::setColors(unsigned attribute) {
    screen_.setColors(attribute);
    picture_.showConsole(screen_);
}

void VideoConsole::write(std::string_view bytes) {
    screen_.write(bytes);
    picture_.showConsole(screen_);
}

} // namespace veloria
