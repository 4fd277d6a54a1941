// Real kernels shared by the interpreter's register forms and the handlers,
// so that both paths give the same results.
#pragma once

#include <cmath>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace KOR::realmath {

// Angles in degrees, reduced exactly by quadrant so that multiples of 90
// give exact results.
double sin_deg(double x);
double cos_deg(double x);
double tan_deg(double x);
double asin_deg(double x);
double acos_deg(double x);
double atan_deg(double x);

inline double sign(double x) { return std::isnan(x) ? x : x > 0 ? 1.0 : x < 0 ? -1.0 : x; }
inline double truth(bool b) { return b ? 1.0 : 0.0; }
inline bool is_true(double x) { return x != 0.0; }   // NaN is true
inline double alog(double x) { return exp10(x); }
// The cube root with one Newton step in long double, so that exact cubes
// give exact roots (the library's cbrt may miss them by an ulp).
inline double cbrt(double x) {
  double r = std::cbrt(x);
  if (r == 0 || !std::isfinite(r)) return r;
  long double R = r;
  return static_cast<double>(R - (R * R * R - x) / (3 * R * R));
}
// The square root of a number that is not negative (or NaN), without the
// library call that std::sqrt keeps for errno: one instruction, no call.
inline double sqrt_unsigned(double x) {
#if defined(__SSE2__)
  return _mm_cvtsd_f64(_mm_sqrt_sd(_mm_setzero_pd(), _mm_set_sd(x)));
#else
  return std::sqrt(x);
#endif
}
// sqrt(1 + x) - 1 without cancellation near 0.
inline double sqrt1pm1(double x) { return std::isinf(x) ? x : x / (std::sqrt(1.0 + x) + 1.0); }

} // namespace KOR::realmath
