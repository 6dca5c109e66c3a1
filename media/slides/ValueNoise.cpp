#include "media/slides/ValueNoise.h"

#include "media/common/DeterministicMath.h"
#include "media/common/VectorMath.h"

namespace veloria::slides {

double valueNoise(double x, double y, uint32_t seed) {
    using drawing::mix;
    const double fx = dmath::floorOf(x), fy = dmath::floorOf(y);
    const auto ix = static_cast<int32_t>(fx), iy = static_cast<int32_t>(fy);
    const double tx = drawing::smoothstep(0.0, 1.0, x - fx);
    const double ty = drawing::smoothstep(0.0, 1.0, y - fy);
    const double top = mix(latticeUnit(ix, iy, seed), latticeUnit(ix + 1, iy, seed), tx);
    const double bottom = mix(latticeUnit(ix, iy + 1, seed), latticeUnit(ix + 1, iy + 1, seed), tx);
    return mix(top, bottom, ty);
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
