// Shifted sine and cosine with an accurate reduction, for the oscillating
// kernels (Bessel J and Y, Ci, Si).
#include "fathom/sf_internal.h"

#include <cmath>

namespace fathom::sf {

namespace {
// pi/2 = kP1 + kP2 + kP3: 32 + 32 + 64 bits, so that n kP1 and n kP2 are
// exact in long double for n < 2^31.
constexpr long double kP1 = 0x1.921fb544p+0L;
constexpr long double kP2 = 0x1.0b4611ap-34L;
constexpr long double kP3 = 8.33374291852087832829586446853e-20L;
constexpr long double kTwoOverPi = 0.636619772367581343075535053490057448L;
} // namespace

void sinCosShiftL(double x, long double phi, long double *s, long double *c) {
  if (std::fabs(x) >= 0x1p30) {
    long double sx = std::sin((long double)x), cx = std::cos((long double)x);
    long double sp = std::sin(phi), cp = std::cos(phi);
    *s = sx * cp + cx * sp;
    *c = cx * cp - sx * sp;
    return;
  }
  long double n = std::nearbyint((x + phi) * kTwoOverPi);
  long double r = (((long double)x - n * kP1) - n * kP2) - n * kP3 + phi;
  long double sr = std::sin(r), cr = std::cos(r);
  switch ((long long)n & 3) {
    case 0: *s = sr; *c = cr; break;
    case 1: *s = cr; *c = -sr; break;
    case 2: *s = -sr; *c = -cr; break;
    default: *s = -cr; *c = sr; break;
  }
}

} // namespace fathom::sf

namespace fathom::sf {

double expTimes(double a, DD p) {
  constexpr double kHi = 0x1.62e42fefa39efp+9;    // 1024 ln 2 = kHi + kLo
  constexpr double kLo = 0x1.abc9e3b39803fp-46;
  if (std::fabs(a) < 700) return ddValue(ddMul(p, std::exp(a)));
  int s = a > 0 ? 1 : -1;
  if (std::fabs(a) > 1490) return s > 0 ? INFINITY * p.hi : 0 * p.hi;
  // exp(a) = 2^(1024 s) exp(a - s K); a - s kHi is exact for |a| in [K/2, 2K].
  double b = a - s * kHi;
  double e = std::exp(b);
  DD r = ddMul(p, e);
  return std::ldexp(r.hi + (r.lo - s * r.hi * kLo), 1024 * s);
}

} // namespace fathom::sf
