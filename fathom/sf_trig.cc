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

namespace {
// pi/2 = kQ1 + kQ2 + kQ3 (+ 1e-37): kQ1, kQ2 with 33 significant bits, so
// n kQ1 and n kQ2 are exact doubles for n < 2^20.
constexpr double kQ1 = 0x1.921fb544p+0;
constexpr double kQ2 = 0x1.0b4611a6p-34;
constexpr double kQ3 = 0x1.3198a2e037073p-69;
constexpr double kTwoOverPiD = 0.636619772367581343075535053490057448;

// Round to nearest for |v| < 2^51, without the cost of a mode-aware call.
double roundNear(double v) { return (v + 0x1.8p52) - 0x1.8p52; }

// sin r and cos r for |r| <= pi/4 + 2^-20 as double-doubles, relative
// error near 2^-57: the leading r and 1 - r^2/2 in double-double, the rest
// by the Taylor series (the coefficients are 1/k! rounded; the truncated
// terms are below 2^-62 of the result).
void sinCosSmall(DD r, DD *s, DD *c) {
  double x = r.hi, x2 = x * x;
  double ps = -0x1.5555555555555p-3 + x2 * (0x1.1111111111111p-7 + x2 * (-0x1.a01a01a01a01ap-13 +
              x2 * (0x1.71de3a556c734p-19 + x2 * (-0x1.ae64567f544e4p-26 + x2 * (0x1.6124613a86d09p-33 +
              x2 * (-0x1.ae7f3e733b81fp-41 + x2 * 0x1.952c77030ad4ap-49))))));
  double pc = 0x1.5555555555555p-5 + x2 * (-0x1.6c16c16c16c17p-10 + x2 * (0x1.a01a01a01a01ap-16 +
              x2 * (-0x1.27e4fb7789f5cp-22 + x2 * (0x1.1eed8eff8d898p-29 + x2 * (-0x1.93974a8c07c9dp-37 +
              x2 * 0x1.ae7f3e733b81fp-45)))));
  DD sv = fastTwoSum(x, x * x2 * ps);
  sv.lo += r.lo * (1 - 0.5 * x2);                   // + cos(x) r.lo
  DD h = twoProd(x, x);
  DD cv = fastTwoSum(1, -0.5 * h.hi);
  cv.lo += -0.5 * h.lo + x2 * x2 * pc - x * r.lo;   // - sin(x) r.lo
  *s = fastTwoSum(sv.hi, sv.lo);
  *c = fastTwoSum(cv.hi, cv.lo);
}
} // namespace

void sinCosShift(double x, DD phi, DD *s, DD *c) {
  if (!(std::fabs(x) < 0x1p20)) {
    long double sl, cl;
    sinCosShiftL(x, (long double)phi.hi + phi.lo, &sl, &cl);
    double sh = (double)sl, ch = (double)cl;
    *s = {sh, (double)(sl - sh)};
    *c = {ch, (double)(cl - ch)};
    return;
  }
  double n = roundNear((x + phi.hi) * kTwoOverPiD);
  DD r = twoSum(x - n * kQ1, -n * kQ2);             // x - n kQ1 and n kQ2 are exact
  r.lo -= n * kQ3;                                  // below 2^-48: its rounding is 2^-101
  r = ddAdd(r, phi);
  DD sr, cr;
  sinCosSmall(r, &sr, &cr);
  switch ((long long)n & 3) {
    case 0: *s = sr; *c = cr; break;
    case 1: *s = cr; *c = ddNeg(sr); break;
    case 2: *s = ddNeg(sr); *c = ddNeg(cr); break;
    default: *s = ddNeg(cr); *c = sr; break;
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
