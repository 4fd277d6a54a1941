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
//             sinCosShift carried in double-double: relative accuracy
//             except within about 2^-10 (relative) of a zero, where the
//             error is bounded by 2 ulps of 2^-10 R (R the amplitude).
// Ci of a negative argument is complex: NaN.
#include "fathom/special.h"
#include "fathom/sf_fit_trigint.h"
#include "fathom/sf_internal.h"

#include <cmath>

namespace fathom {
namespace {

using namespace sf;

constexpr double kCiFitEnd = 64;   // the end of kCiMid

// R and phi for x >= 4, phi as a double-double (see sinCosShift).
void modulusPhase(double x, double *r, DD *phi) {
  DD w = ddRecip(x);
  *r = fitEval(kTrigModulus, w.hi) * w.hi;
  *phi = ddMul(fitEvalDD(fitFind(kTrigPhase, w.hi), w.hi), w);
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
    constexpr DD kHalfPi{0x1.921fb54442d18p+0, 0x1.1a62633145c07p-54};
    double r;
    DD phi, s, c;
    modulusPhase(ax, &r, &phi);
    sinCosShift(ax, ddNeg(phi), &s, &c);
    res = ddValue(ddAdd(kHalfPi, ddMul(c, -r)));
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
  DD phi, s, c;
  modulusPhase(x, &r, &phi);
  sinCosShift(x, ddNeg(phi), &s, &c);
  return ddValue(ddMul(s, r));
}

} // namespace fathom
