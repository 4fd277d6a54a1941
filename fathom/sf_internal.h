// Helpers shared by the special-function kernels (not part of the API).
//
// Some kernels carry intermediate results in long double (the x87 64-bit
// significand on x86-64): 11 guard bits keep the error of reflection and
// Stirling formulas, whose terms are much larger than their result, below
// a fraction of an ulp of the double result.
#pragma once

#include "fathom/sf_dd.h"

#include <cmath>

namespace fathom::sf {

constexpr long double kPiL = 3.141592653589793238462643383279502884L;

// sin(pi x) for finite x, exact argument reduction.
inline long double sinPiL(double x) {
  double r = x - 2 * std::nearbyint(x / 2);          // [-1, 1], exact
  if (r > 0.5) r = 1 - r;                            // exact
  else if (r < -0.5) r = -1 - r;
  return std::sin(kPiL * r);
}

// cot(pi x) for finite non-integer x.
inline long double cotPiL(double x) {
  double r = x - std::nearbyint(x);                  // [-0.5, 0.5], exact
  long double a = kPiL * r;
  return std::cos(a) / std::sin(a);
}

inline bool isNegInteger(double x) { return x < 0 && x == std::nearbyint(x); }

// Gamma(x) for any non-pole double x, with a relative error near 2^-60.
long double gammaL(double x);
// log Gamma(x) for x > 0, absolute error near 2^-60 max(1, |result|).
long double lnGammaPosL(double x);
// B(a, b) for a, b > 0, relative error near 2^-60 (0 when it underflows
// the long double range).
long double betaPosL(double a, double b);
// log B(a, b) for finite a, b > 0 (B itself may leave the long double range).
long double lnBetaPosL(double a, double b);
// log(x/c) - (x/c - 1) for x, c > 0, without cancellation near x = c: there
// -t^2/(2 + t) + 2 (s^3/3 + s^5/5 + ...), t = (x - c)/c, s = t/(2 + t);
// elsewhere directly (at most a factor 4 cancels).  The exponent of the
// prefactors of the incomplete gamma and beta functions for large
// parameters.
long double logRatioMinus(long double x, long double c);

} // namespace fathom::sf

namespace fathom::sf {

// sin(x + phi) and cos(x + phi) for finite x and small phi (|phi| < 4),
// with relative accuracy near their zeros: x is reduced modulo pi/2 in
// long double with a three-part pi/2 (Cody-Waite) while |x| < 2^30; beyond,
// the error is bounded by 2^-63 of the amplitude.
void sinCosShiftL(double x, long double phi, long double *s, long double *c);

// The same in double-double (relative error near 2^-57): the reduction
// with a three-part pi/2 and the sine and cosine of the reduced argument
// by their series, so zeros keep relative accuracy for |x| < 2^20 as far
// as phi's own accuracy allows; beyond, sinCosShiftL.
void sinCosShift(double x, DD phi, DD *s, DD *c);

} // namespace fathom::sf

namespace fathom::sf {

// exp(a) * (p.hi + p.lo), rounded once even when exp(a) alone would
// overflow or be subnormal (|a| < 1500).
double expTimes(double a, DD p);

} // namespace fathom::sf

namespace fathom::sf {

DD besselI0Scaled(double ax);   // exp(-ax) I0(ax) for ax > 8

} // namespace fathom::sf

namespace fathom::sf {

// log Gamma(x) - ((x - 1/2) log x - x + log(2 pi)/2) for x >= 8.
long double stirlingRestL(double x);

} // namespace fathom::sf
