// Dawson's integral F(x) = exp(-x^2) integral_0^x exp(t^2) dt (odd).
//
// Regimes (x >= 0):
//   x < 1        F = x P(x^2)          (kDawsonSmall)
//   1 <= x < 16  F = P(x)              (kDawsonMid)
//   x >= 16      F = P(1/x^2) / (2x)   (kDawsonAsym; P -> 1)
// Fit errors are below 2^-58; the result is rounded once from a
// double-double.
#include "fathom/special.h"
#include "fathom/sf_fit_erf.h"

#include <cmath>

namespace fathom {

double dawson(double x) {
  using namespace sf;
  if (std::isnan(x) || x == 0) return x;
  if (std::isinf(x)) return std::copysign(0.0, x);
  double ax = std::fabs(x);
  double r;
  if (ax < 1) {
    r = ddValue(ddMul(fitEvalDD(fitFind(kDawsonSmall, ax * ax), ax * ax), ax));
  } else if (ax < 16) {
    r = fitEval(kDawsonMid, ax);
  } else {
    double u = ax < 1e150 ? 1 / (ax * ax) : 0;
    r = 0.5 * ddValue(ddMul(fitEvalDD(fitFind(kDawsonAsym, u), u), ddRecip(ax)));
  }
  return std::copysign(r, x);
}

} // namespace fathom
