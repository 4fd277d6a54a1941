// Error functions: erf, erfc and log(erfc).
//
// Regimes (x >= 0; erf is odd, erfc(-x) = 2 - erfc(x)):
//   |x| < 0.75     erf = x P(x^2)                         (kErfSmall)
//   0.5 <= x < 28  erfc = exp(-x^2) P(x)                  (P = erfcx, pieces found by
//                  index: width 1/8 below 6.5 (kErfcxUniform), then 1 (kErfcx))
//   x >= 28        erfc = exp(-x^2) P(1/x^2) / x          (kErfcxAsym)
// exp(-x^2) is formed from the exact square hi + lo as exp(-hi) (1 - lo),
// rescaled by 2^1024 when the result is subnormal so that it is rounded
// once.  Fit errors are below 2^-58; the error is dominated by exp and the
// final rounding (about 1 ulp, see docs/special-functions.md).
#include "fathom/special.h"
#include "fathom/sf_fit_erf.h"

#include <cmath>

namespace fathom {
namespace {

using namespace sf;

constexpr double kLn2x1024Hi = 0x1.62e42fefa39efp+9;    // 1024 ln 2, rounded
constexpr double kLn2x1024Lo = 0x1.abc9e3b39803fp-46;   // the rest

// erfc(x) / exp(-x^2) for x >= 0.5, as a double-double.
DD erfcxPositive(double x) {
  if (x < 6.5) return fitEvalDD(kErfcxUniform[(int)((x - 0.5) * 8)], x);
  if (x < 28) return fitEvalDD(kErfcx[(int)(x - 6.5)], x);
  DD p = fitEvalDD(fitFind(kErfcxAsym, 1 / (x * x)), 1 / (x * x));
  return ddDiv(p, DD{x, 0});
}

// erfc(x) for x >= 0.5.
double erfcPositive(double x) {
  if (x > 27.3) return 0;                       // below half the least subnormal
  DD s = twoProd(x, x);
  DD h = erfcxPositive(x);
  if (s.hi < 700) {
    double e = std::exp(-s.hi);
    DD r = ddMul(h, e);
    return r.hi + (r.lo - r.hi * s.lo);
  }
  // Subnormal or nearly: exp(-x^2) = 2^-1024 exp((K - hi) + (Klo - lo))
  // with K = 1024 ln 2; K - hi is exact here, and only ldexp rounds.
  double e = std::exp(kLn2x1024Hi - s.hi);
  DD r = ddMul(h, e);
  return std::ldexp(r.hi + (r.lo + r.hi * (kLn2x1024Lo - s.lo)), -1024);
}

// erfc(x) for 2 <= x < 6 in plain doubles, for 1 - erfc and 2 - erfc:
// erfc(x) <= 0.0047 here, so its relative error (the rounding of x^2
// included, 2^-47) costs less than 2^-54 of those results.
double erfcSmallTerm(double x) {
  const FitPiece &p = kErfcxUniform[(int)((x - 0.5) * 8)];
  return fitHorner(p, x - p.c_hi) * std::exp(-x * x);
}

// erf(x) for |x| < 0.75 as a double-double.
DD erfSmall(double x) {
  DD p = fitEvalDD(fitFind(kErfSmall, x * x), x * x);
  return ddMul(p, x);
}

} // namespace

double erf(double x) {
  if (std::isnan(x) || x == 0) return x;
  double ax = std::fabs(x);
  if (ax < 0.75) return ddValue(erfSmall(x));
  if (ax >= 6) return std::copysign(1.0, x);     // erfc(6) < 2^-55
  if (ax >= 2) return std::copysign(1 - erfcSmallTerm(ax), x);
  DD h = erfcxPositive(ax);
  DD s = twoProd(ax, ax);
  DD c = ddMul(h, std::exp(-s.hi));
  c.lo -= c.hi * s.lo;
  double r = (1 - c.hi) - c.lo;
  return std::copysign(r, x);
}

double erfc(double x) {
  if (std::isnan(x)) return x;
  if (x >= 0.5) return erfcPositive(x);
  if (x > -0.75) {
    DD e = erfSmall(x);
    return (1 - e.hi) - e.lo;
  }
  if (x < -6) return 2;
  if (x <= -2) return 2 - erfcSmallTerm(-x);
  return 2 - erfcPositive(-x);
}

double lnErfc(double x) {
  if (std::isnan(x)) return x;
  if (x < -0.75) return std::log(erfc(x));
  if (x == 0) return 0.0;   // erfc(+-0) = 1 exactly; log1p(-erf(+0)) would give -0
  if (x < 0.5) {
    DD e = erfSmall(x);
    return std::log1p(-(e.hi + e.lo));
  }
  if (x >= 0x1p512) return -INFINITY;            // -x^2 overflows
  DD s = twoProd(x, x);
  double lh;
  if (x < 28) {
    DD h = erfcxPositive(x);
    lh = std::log(h.hi) + h.lo / h.hi;
  } else {
    double u = x < 1e150 ? 1 / (x * x) : 0;
    DD p = fitEvalDD(fitFind(kErfcxAsym, u), u);
    lh = std::log(p.hi) + p.lo / p.hi - std::log(x);
  }
  return -s.hi + (lh - s.lo);
}

} // namespace fathom
