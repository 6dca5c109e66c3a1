#include "tests/fakes/RecordingSurface.h"

#include "tests/fakes/PngFile.h"

namespace veloria::testing {

void RecordingSurface::writePng(const std::string& path) const {
    testing::writePng(path, Width, Height, [this](int x, int y) { return at(x, y); });
}

} // namespace veloria::testing
