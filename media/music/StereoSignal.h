// Two channels of floating-point samples at full scale +-1: what the synth renders and the
// mastering stage turns into 16-bit PCM.
#pragma once

#include <vector>

namespace veloria::music {

struct StereoSignal {
    std::vector<float> left;
    std::vector<float> right;
};

} // namespace veloria::music
