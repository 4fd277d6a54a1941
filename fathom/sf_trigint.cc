// Sine and cosine integrals Si and Ci.
//
// Si (odd):   |x| <= 4: x P(x^2) (kSiSmall);
//             x > 4: pi/2 - R(x) cos(x - phi(x)), where f cos x + g sin x
//             = R cos(x - phi) with the auxiliary functions f, g:
//             x R = P(1/x) (kTrigModulus), x phi = P(1/x) (kTrigPhase).
// Ci (x > 0): x <= 0.4: log x + P(x^2) (kCiSmall); 0.4 < x < 64: P(x),
//             zero-centred at each of its zeros (kCiMid), so the closest
//             doubles to the zeros keep relative accuracy;
//             x >= 64: R sin(x - phi), phi and the reduction of
//             sinCosShiftL carried in long double: relative accuracy
//             except within about 2^-10 (relative) of a zero, where the
//             error is bounded by 2 ulps of the amplitude R.
// Ci of a negative argument is complex: NaN.
#include "fathom/special.h"
#include "fathom/sf_fit_trigint.h"
#include "fathom/sf_internal.h"

#include <cmath>

namespace fathom {
namespace {

using namespace sf;

constexpr double kCiFitEnd = 64;   // the end of kCiMid

// R and phi for x >= 4; phi in long double (the last Horner step in
// double-double, times 1/x in long double), so that x - phi keeps about
// 64 bits.
void modulusPhase(double x, double *r, long double *phi) {
  double w = 1 / x;
  *r = fitEval(kTrigModulus, w) * w;
  DD p = fitEvalDD(fitFind(kTrigPhase, w), w);
  *phi = ((long double)p.hi + p.lo) / x;
}

} // namespace

double sinInt(double x) {
  if (std::isnan(x)) return x;
  double ax = std::fabs(x), res;
  if (ax <= 4) {
    res = ddValue(ddMul(fitEvalDD(fitFind(kSiSmall, ax * ax), ax * ax), ax));
  } else if (ax == INFINITY) {
    res = kPi / 2;
  } else {
    double r;
    long double phi, s, c;
    modulusPhase(ax, &r, &phi);
    sinCosShiftL(ax, -phi, &s, &c);
    res = (double)(kPiL / 2 - r * c);
  }
  return std::copysign(res, x);
}

double cosInt(double x) {
  if (std::isnan(x)) return x;
  if (x < 0) return NAN;
  if (x == 0) return -INFINITY;
  if (x == INFINITY) return 0;
  if (x <= 0.4) return ddValue(ddAdd(std::log(x), fitEvalDD(fitFind(kCiSmall, x * x), x * x)));
  if (x < kCiFitEnd) return fitEval(kCiMid, x);
  double r;
  long double phi, s, c;
  modulusPhase(x, &r, &phi);
  sinCosShiftL(x, -phi, &s, &c);
  return (double)(r * s);
}

} // namespace fathom
