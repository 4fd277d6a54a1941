// Modified Bessel functions I0, I1, K0, K1.
//
//   I0: |x| <= 8: P(x^2) (kI0Small); else exp(|x|)/sqrt(|x|) P(1/|x|) (kI0Large)
//   I1: |x| <= 8: x P(x^2) (kI1Small); else the same form as I0 (odd)
//   K0: 0 < x <= 1: P(x^2) - log(x) I0(x) (kK0Small); else exp(-x)/sqrt(x) P(1/x)
//   K1: 0 < x <= 1: 1/x + log(x) I1(x) + x P(x^2) (kK1Small); else as K0
// Fits are within 2^-58; exp is applied with one rounding (expTimes) so
// that the ends of the range (overflow near 713, underflow near 745) are
// rounded correctly.  K0 and K1 of negative arguments are NaN.
#include "fathom/special.h"
#include "fathom/sf_fit_bessel_ik.h"
#include "fathom/sf_internal.h"

#include <cmath>

namespace fathom {
namespace sf {

// exp(-|x|) I0(x) and exp(-|x|) I1(|x|) for |x| > 8, as double-doubles.
DD besselI0Scaled(double ax) {
  DD p = fitEvalDD(fitFind(kI0Large, 1 / ax), 1 / ax);
  return ddDiv(p, ddSqrt(ax));
}

} // namespace sf

namespace {

using namespace sf;

// exp(s ax)/sqrt(ax) P(1/ax) for the fit t.
template <int N>
double expForm(const FitPiece (&t)[N], double ax, int s) {
  DD p = fitEvalDD(fitFind(t, 1 / ax), 1 / ax);
  return expTimes(s * ax, ddDiv(p, ddSqrt(ax)));
}

} // namespace

double besselI0(double x) {
  if (std::isnan(x)) return x;
  double ax = std::fabs(x);
  if (ax <= 8) {
    DD x2 = twoProd(ax, ax);   // the rounding of x^2 alone would cost x/2 ulps
    return ddValue(fitEvalDD(fitFind(kI0Small, x2.hi), x2));
  }
  if (ax > 720) return INFINITY;
  return expForm(kI0Large, ax, 1);
}

double besselI1(double x) {
  if (std::isnan(x)) return x;
  double ax = std::fabs(x), r;
  DD x2 = twoProd(ax, ax);
  if (ax <= 8) r = ddValue(ddMul(fitEvalDD(fitFind(kI1Small, x2.hi), x2), ax));
  else if (ax > 720) r = INFINITY;
  else r = expForm(kI1Large, ax, 1);
  return std::copysign(r, x);
}

double besselK0(double x) {
  if (std::isnan(x)) return x;
  if (x < 0) return NAN;
  if (x == 0) return INFINITY;
  if (x <= 1) {
    DD i0 = fitEvalDD(fitFind(kI0Small, x * x), x * x);
    DD p = fitEvalDD(fitFind(kK0Small, x * x), x * x);
    return ddValue(ddAdd(p, ddMul(i0, -std::log(x))));
  }
  if (x > 750) return 0;
  return expForm(kK0Large, x, -1);
}

double besselK1(double x) {
  if (std::isnan(x)) return x;
  if (x < 0) return NAN;
  if (x == 0) return INFINITY;
  if (x < 0x1p-60) return 1 / x;                   // K1 = 1/x (1 + O(x^2 log x)); may overflow
  if (x <= 1) {
    DD i1 = ddMul(fitEvalDD(fitFind(kI1Small, x * x), x * x), x);
    DD p = ddMul(fitEvalDD(fitFind(kK1Small, x * x), x * x), x);
    DD r = ddAdd(ddAdd(1 / x, ddMul(i1, std::log(x))), p);
    return ddValue(r);
  }
  if (x > 750) return 0;
  return expForm(kK1Large, x, -1);
}

} // namespace fathom
