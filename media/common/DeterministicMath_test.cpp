// The deterministic elementary functions against the C library's, which they replace only
// for the sake of equal bits on every platform: they must agree to within their series' error.
#include "media/common/DeterministicMath.h"

#include <gtest/gtest.h>

#include <cmath>

namespace veloria::dmath {
namespace {

TEST(DeterministicMath, TangentMatchesTheLibraryOverTheFiltersRange) {
    // The filters prewarp with angles in (0, 0.45 pi); the negative side checks the sign. The
    // sine's series is good to about 2e-14 at the ends of its range, near pi/4.
    for (double x : {-1.2, -0.3, 1e-4, 0.0024, 0.12, 0.5, 0.785, 1.0, 1.3, 1.41}) {
        SCOPED_TRACE(x);
        EXPECT_NEAR(tan(x), std::tan(x), 5e-14 * std::abs(std::tan(x)));
    }
}

} // namespace
} // namespace veloria::dmath
