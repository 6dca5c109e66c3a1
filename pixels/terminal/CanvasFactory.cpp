#include "pixels/terminal/CanvasFactory.h"

#include "pixels/terminal/HalfBlockCanvas.h"
#include "pixels/terminal/KittyCanvas.h"

namespace veloria {

std::unique_ptr<TerminalCanvas> makeCanvas(const TerminalChoice& choice) {
    switch (choice.kind) {
    case CanvasKind::None: return nullptr;
    case CanvasKind::HalfBlocks256: return makeHalfBlockCanvas(ColourDepth::Palette256);
    case CanvasKind::HalfBlocksTrueColour: return makeHalfBlockCanvas(ColourDepth::TrueColour);
    case CanvasKind::Sixel: return makeSixelCanvas(choice.sixelLimit);
    case CanvasKind::Kitty: return makeKittyCanvas();
    }
    return nullptr;
}

} // namespace veloria
