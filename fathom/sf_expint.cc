// Exponential integrals E1 and Ei, and the logarithmic integral li.
//
// E1 (x > 0):
//   x <= 1        P(x) - log x                      (kE1Small)
//   1 < x < 50    exp(-x)/x P(x)                    (kE1Mid)
//   x >= 50       exp(-x)/x P(1/x)                  (kE1Asym)
// Ei (x > 0; Ei(-x) = -E1(x)):
//   x <= 0.25     log x + P(x)                      (kEiSmall)
//   0.25 < x < .75  (x - x0) P(x), x0 = 0.37250741... its zero (kEiZero)
//   .75 <= x < 50 exp(x)/x P(x), then exp(x)/x P(1/x) (kEiMid, kEiAsym)
// li(x) = Ei(log x): (x - mu) P(x) around its zero mu = 1.45136923...
// (kLiZero), elsewhere Ei at the long-double logarithm, corrected by
// exp(y)/y times the logarithm's low part.  Fits are within 2^-58;
// exp(+-x) is rescaled by 2^-+1024 near the ends of the range so that the
// result is rounded once.
#include "fathom/special.h"
#include "fathom/sf_expint_internal.h"
#include "fathom/sf_fit_expint.h"

#include <cmath>

namespace fathom {
namespace sf {
namespace {

constexpr double kLn2x1024Hi = 0x1.62e42fefa39efp+9;
constexpr double kLn2x1024Lo = 0x1.abc9e3b39803fp-46;

} // namespace

// exp(s x) * p / x for s = +-1, p a double-double, rounded once.
double expOverX(double x, int s, DD p) {
  DD q = ddDiv(p, DD{x, 0});
  if (x < 700) {
    double e = std::exp(s * x);
    return ddValue(ddMul(q, e));
  }
  // exp(s x) = 2^(1024 s) exp(s (x - K) - s Klo), x - K exact here.
  double e = std::exp(s * (x - kLn2x1024Hi));
  DD r = ddMul(q, e);
  return std::ldexp(r.hi + (r.lo - s * r.hi * kLn2x1024Lo), 1024 * s);
}

double e1Pos(double x) {
  if (x <= 1) return ddValue(ddAdd(-std::log(x), fitEvalDD(fitFind(kE1Small, x), x)));
  if (x > 746) return 0;
  if (x < 50) return expOverX(x, -1, fitEvalDD(fitFind(kE1Mid, x), x));
  return expOverX(x, -1, fitEvalDD(fitFind(kE1Asym, 1 / x), 1 / x));
}

double eiPos(double x) {
  if (x <= 0.25) return ddValue(ddAdd(std::log(x), fitEvalDD(fitFind(kEiSmall, x), x)));
  if (x < 0.75) return fitEval(kEiZero, x);
  if (x > 717) return INFINITY;
  if (x < 50) return expOverX(x, 1, fitEvalDD(fitFind(kEiMid, x), x));
  return expOverX(x, 1, fitEvalDD(fitFind(kEiAsym, 1 / x), 1 / x));
}

} // namespace sf

double expIntE1(double x) {
  if (std::isnan(x)) return x;
  if (x < 0) return NAN;
  if (x == 0) return INFINITY;
  return sf::e1Pos(x);
}

double expIntEi(double x) {
  if (std::isnan(x)) return x;
  if (x == 0) return -INFINITY;
  if (x < 0) return -sf::e1Pos(-x);
  return sf::eiPos(x);
}

double logInt(double x) {
  if (std::isnan(x)) return x;
  if (x < 0) return NAN;
  if (x == 0) return 0;
  if (x == 1) return -INFINITY;
  if (x == INFINITY) return x;
  if (x >= 1.25 && x < 1.75) return sf::fitEval(sf::kLiZero, x);
  long double y = std::log((long double)x);
  double yh = (double)y;
  double yl = (double)(y - yh);
  double ei = expIntEi(yh);
  // Ei'(y) = exp(y)/y, and exp(y) = x up to the rounding of y.
  return ei + (x / yh) * yl;
}

} // namespace fathom
