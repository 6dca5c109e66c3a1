#include "media/slides/ValueNoise.h"

#include "media/common/DeterministicMath.h"

namespace veloria::slides {

namespace {

double fade(double t) {
    return t * t * (3.0 - 2.0 * t);
}

} // namespace

double valueNoise(double x, double y, uint32_t seed) {
    const double fx = dmath::floorOf(x), fy = dmath::floorOf(y);
    const auto ix = static_cast<int32_t>(fx), iy = static_cast<int32_t>(fy);
    const double tx = fade(x - fx), ty = fade(y - fy);
    const double top = latticeUnit(ix, iy, seed) +
                       (latticeUnit(ix + 1, iy, seed) - latticeUnit(ix, iy, seed)) * tx;
    const double bottom = latticeUnit(ix, iy + 1, seed) +
                          (latticeUnit(ix + 1, iy + 1, seed) - latticeUnit(ix, iy + 1, seed)) * tx;
    return top + (bottom - top) * ty;
}

double fractalNoise(double x, double y, int octaves, uint32_t seed) {
    double sum = 0.0, weight = 0.5, total = 0.0;
    for (int octave = 0; octave < octaves; ++octave) {
        sum += weight * valueNoise(x, y, seed + static_cast<uint32_t>(octave));
        total += weight;
        x *= 2.0;
        y *= 2.0;
        weight *= 0.5;
    }
    return sum / total;
}

} // namespace veloria::slides
