// Elementary functions built only from +, -, *, / and sqrt, which IEEE 754 fixes exactly.
// The media generators run natively and, in the Windows build, as Windows programs; the C
// libraries' sin, exp and pow differ in their last bits between those platforms, which would
// make the generated track and pictures differ by build. These give the same bits everywhere.
#pragma once

#include <cmath>
#include <cstdint>

namespace veloria::dmath {

inline constexpr double Pi = 3.14159265358979323846;
inline constexpr double TwoPi = 2.0 * Pi;
inline constexpr double Ln2 = 0.69314718055994530942;

// Round to nearest integer as a double, without depending on the current rounding mode.
inline double roundNearest(double x) {
    return x >= 0.0 ? static_cast<double>(static_cast<int64_t>(x + 0.5))
                    : -static_cast<double>(static_cast<int64_t>(-x + 0.5));
}

inline double floorOf(double x) {
    double t = static_cast<double>(static_cast<int64_t>(x));
    return t > x ? t - 1.0 : t;
}

// sin on [-pi/4, pi/4] and cos on the same range, Taylor series. Stopping at x^13 leaves the
// sine up to 2e-14 off at the ends of the range; the cosine, to x^16, is far closer.
inline double sinKernel(double x) {
    double x2 = x * x;
    return x * (1.0 + x2 * (-1.0 / 6 +
                            x2 * (1.0 / 120 +
                                  x2 * (-1.0 / 5040 +
                                        x2 * (1.0 / 362880 + x2 * (-1.0 / 39916800 +
                                                                   x2 * (1.0 / 6227020800.0)))))));
}
inline double cosKernel(double x) {
    double x2 = x * x;
    return 1.0 +
           x2 * (-0.5 +
                 x2 * (1.0 / 24 +
                       x2 * (-1.0 / 720 +
                             x2 * (1.0 / 40320 +
                                   x2 * (-1.0 / 3628800 +
                                         x2 * (1.0 / 479001600 + x2 * (-1.0 / 87178291200.0)))))));
}

// Within about 3e-14 for |x| up to 100; rounding in the argument reduction adds about
// 1e-16 |x| beyond (6e-11 near 1e6), plenty for phases and angles.
inline double sin(double x) {
    double q = roundNearest(x * (2.0 / Pi));
    double r = (x - q * 1.5707963267948966) - q * 6.123233995736766e-17;
    switch (static_cast<int64_t>(q) & 3) {
    case 0: return sinKernel(r);
    case 1: return cosKernel(r);
    case 2: return -sinKernel(r);
    default: return -cosKernel(r);
    }
}
inline double cos(double x) {
    return sin(x + Pi / 2);
}
// The synth's and the loudness meter's filters prewarp their corner frequencies with it.
inline double tan(double x) {
    return sin(x) / cos(x);
}

// e^x, relative error about 2e-16 over the double range; 0 below -745, inf above 709.
inline double exp(double x) {
    if (x < -745.0) return 0.0;
    if (x > 709.0) return INFINITY;
    double k = roundNearest(x / Ln2);
    double r = (x - k * 0.6931471803691238) - k * 1.9082149292705877e-10;
    // e^r for |r| <= ln2/2, Taylor to degree 13.
    double p = 1.0;
    for (int n = 13; n >= 1; --n) p = 1.0 + p * r / n;
    // Scale by 2^k exactly, in two steps so that large |k| does not overflow the factor.
    int64_t ki = static_cast<int64_t>(k);
    int64_t a = ki / 2, b = ki - a;
    return std::ldexp(std::ldexp(p, static_cast<int>(a)), static_cast<int>(b));
}

// Natural logarithm for x > 0; -inf for 0, NaN for negatives.
inline double log(double x) {
    if (x < 0.0) return NAN;
    if (x == 0.0) return -INFINITY;
    int e = 0;
    double m = std::frexp(x, &e); // x = m * 2^e, m in [0.5, 1)
    if (m < 0.70710678118654752) {
        m *= 2.0;
        e -= 1;
    }
    // log(m) = 2 atanh(s), s = (m - 1) / (m + 1), |s| <= 0.1716.
    double s = (m - 1.0) / (m + 1.0);
    double s2 = s * s;
    double sum = 0.0;
    for (int n = 29; n >= 1; n -= 2) sum = 1.0 / n + s2 * sum;
    return 2.0 * s * sum + e * Ln2;
}

inline double pow(double base, double exponent) {
    if (base == 0.0) return exponent > 0.0 ? 0.0 : (exponent == 0.0 ? 1.0 : INFINITY);
    return exp(exponent * log(base));
}

} // namespace veloria::dmath
