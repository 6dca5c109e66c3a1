// The shared drawing math where a slip would move every shape: the segment distance's
// clamping at both ends, and the blends' directions.
#include "media/common/VectorMath.h"

#include <gtest/gtest.h>

namespace veloria::drawing {
namespace {

TEST(DistanceToSegment, MeasuresToTheNearestPointBetweenTheEnds) {
    struct Case {
        Vec2 p;
        double distance;
    };
    // The segment from (1, 1) to (5, 1).
    for (Case c : {Case{{3.0, 4.0}, 3.0},  // above the middle: straight down to the segment
                   Case{{1.0, 1.0}, 0.0},  // on an end
                   Case{{4.0, 1.0}, 0.0},  // on the segment
                   Case{{-2.0, 5.0}, 5.0}, // before the first end: to that end
                   Case{{8.0, -3.0}, 5.0}, // past the second end: to that end
                   Case{{5.0, -1.5}, 2.5}}) {
        SCOPED_TRACE(testing::Message() << c.p.x << ", " << c.p.y);
        EXPECT_DOUBLE_EQ(distanceToSegment(c.p, {1.0, 1.0}, {5.0, 1.0}), c.distance);
        EXPECT_DOUBLE_EQ(distanceToSegment(c.p, {5.0, 1.0}, {1.0, 1.0}), c.distance);
    }
}

TEST(Blends, SmoothstepRisesOrFallsAndMixRunsFromFirstToSecond) {
    struct Case {
        double edge0, edge1, x, value;
    };
    for (Case c : {Case{0.2, 0.6, 0.0, 0.0}, Case{0.2, 0.6, 0.4, 0.5}, Case{0.2, 0.6, 0.5, 0.84375},
                   Case{0.2, 0.6, 0.9, 1.0}, Case{0.6, 0.2, 0.0, 1.0}, Case{0.6, 0.2, 0.5, 0.15625},
                   Case{0.6, 0.2, 0.9, 0.0}}) {
        SCOPED_TRACE(testing::Message() << c.edge0 << " to " << c.edge1 << " at " << c.x);
        EXPECT_NEAR(smoothstep(c.edge0, c.edge1, c.x), c.value, 1e-12);
    }
    EXPECT_EQ(mix(2.0, 6.0, 0.25), 3.0);
}

} // namespace
} // namespace veloria::drawing
