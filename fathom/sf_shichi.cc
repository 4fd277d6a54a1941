// Hyperbolic sine and cosine integrals Shi and Chi.
//
// Shi (odd):  |x| <= 2: x P(x^2) (kShiSmall); 2 < x < 22: (Ei(x) + E1(x))/2;
//             x >= 22: Ei(x)/2 (E1(x)/Ei(x) < 2^-60).
// Chi (x > 0; NaN for x < 0, whose value is complex):
//             x <= 0.3: log x + P(x^2) (kChiSmall); 0.3 < x < 0.9:
//             (x - x0) P(x) around its zero x0 = 0.52382257...
//             (kChiZero); x >= 0.9: (Ei(x) - E1(x))/2.
#include "fathom/special.h"
#include "fathom/sf_expint_internal.h"
#include "fathom/sf_fit_expint.h"

#include <cmath>

namespace fathom {

double sinhInt(double x) {
  using namespace sf;
  if (std::isnan(x)) return x;
  double ax = std::fabs(x), r;
  if (ax <= 2) r = ddValue(ddMul(fitEvalDD(fitFind(kShiSmall, ax * ax), ax * ax), ax));
  else if (ax < 22) r = 0.5 * (eiPos(ax) + e1Pos(ax));
  else r = 0.5 * eiPos(ax);
  return std::copysign(r, x);
}

double coshInt(double x) {
  using namespace sf;
  if (std::isnan(x)) return x;
  if (x < 0) return NAN;
  if (x == 0) return -INFINITY;
  if (x <= 0.3) return ddValue(ddAdd(std::log(x), fitEvalDD(fitFind(kChiSmall, x * x), x * x)));
  if (x < 0.9) return fitEval(kChiZero, x);
  if (x < 22) return 0.5 * (eiPos(x) - e1Pos(x));
  return 0.5 * eiPos(x);
}

} // namespace fathom
