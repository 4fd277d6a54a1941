// Riemann zeta function.
//
// Regimes:
//   s >= 56        1 (zeta - 1 < 2^-55)
//   3 <= s < 56    1 + 2^-s P(s)               (kZetaMid)
//   0.5 <= s < 3   1/(s - 1) + P(s)            (kZetaNear1)
//   -5 <= s < .5   P(s), zero-centred at the trivial zeros -2 and -4 (kZetaSmall)
//   s < -5         functional equation 2^s pi^(s-1) sin(pi s/2) Gamma(1-s)
//                  zeta(1-s) in long double (exact zeros at even s)
// s = 1 is the pole: +inf.
#include "fathom/special.h"
#include "fathom/sf_fit_zeta.h"
#include "fathom/sf_internal.h"

#include <cmath>

namespace fathom {

double zeta(double s) {
  using namespace sf;
  if (std::isnan(s)) return s;
  if (s == 1) return INFINITY;
  if (s >= 56) return 1;
  if (s >= 3) return 1 + std::exp2(-s) * fitEval(kZetaMid, s);
  if (s >= 0.5) return ddValue(ddAdd(1 / (s - 1), fitEvalDD(fitFind(kZetaNear1, s), s)));
  if (s >= -5) return fitEval(kZetaSmall, s);
  if (s == -INFINITY) return NAN;
  double half = s / 2;
  if (half == std::nearbyint(half)) return 0;     // trivial zeros
  if (s < -400) return std::copysign(INFINITY, (double)sinPiL(half));
  long double ls = s;
  // Gamma(1 - s) = -s Gamma(-s) keeps the argument exact.
  long double t = std::pow(2 * kPiL, ls) / kPiL * sinPiL(half) * (-ls) * gammaL(-s) * zeta(1 - s);
  return (double)t;
}

} // namespace fathom
