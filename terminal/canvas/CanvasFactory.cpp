#include "terminal/canvas/CanvasFactory.h"

#include "terminal/canvas/HalfBlockCanvas.h"
#include "terminal/canvas/KittyCanvas.h"
#include "terminal/canvas/SixelCanvas.h"

namespace veloria {

std::unique_ptr<TerminalCanvas> makeCanvas(const CanvasChoice& choice) {
    switch (choice.kind) {
    case CanvasKind::None: return nullptr;
    case CanvasKind::HalfBlocks256: return makeHalfBlockCanvas(ColourDepth::Palette256);
    case CanvasKind::HalfBlocksTrueColour: return makeHalfBlockCanvas(ColourDepth::TrueColour);
    case CanvasKind::Sixel:
        return makeSixelCanvas(choice.sixelLimit,
                               choice.sixelOverlays ? SixelFrames::Overlays : SixelFrames::Whole);
    case CanvasKind::Kitty:
        return makeKittyCanvas(choice.sharedMemory ? KittyTransfer::SharedMemory
                                                   : KittyTransfer::Compressed);
    }
    return nullptr;
}

} // namespace veloria
