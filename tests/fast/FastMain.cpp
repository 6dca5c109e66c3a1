// A test-only build of the real program with every clock twenty times faster: each pause is a
// twentieth as long and the pixel pace twenty times as quick, so a whole show takes about
// 16 s. Nothing else differs from the show.
#include "show/RunOnThisMachine.h"
#include "tests/fast/FastClocks.h"

int main() {
    return veloria::runOnThisMachine(veloria::testing::FastClockSpeedup);
}
