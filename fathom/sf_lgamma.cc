// log|Gamma(x)|.
//
// Regimes:
//   0 < x < 0.5       log Gamma(1 + x) - log x
//   0.5 <= x < 3      (x - 1)(x - 2) P(x) (kLgammaNear): relative accuracy
//                     at the zeros 1 and 2
//   3 <= x            log of Gamma (x < 12) or Stirling, in long double
//                     (from 12 with a cheaper logarithm, logLarge)
//   x < 0             near a zero of log|Gamma| in (-17, -2): (x - z) P(x)
//                     (kLgammaNegZeros, z as a double-double); elsewhere
//                     log(pi / |sin(pi x)|) - log(-x) - log Gamma(-x) in
//                     long double.  Outside the windows |result| > 0.2, so
//                     the 2^-60 absolute error stays far below an ulp.
// Poles (0 and negative integers) and infinities give +inf.
#include "fathom/special.h"
#include "fathom/sf_fit_gamma.h"
#include "fathom/sf_internal.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace fathom {
namespace {

using namespace sf;

// log Gamma(x) = (x - 1)(x - 2) P(x) for 0.5 <= x < 3.
DD lnGammaNear(double x) {
  DD p = fitEvalDD(fitFind(kLgammaNear, x), x);
  DD m2 = twoSum(x, -2);
  DD m1 = twoSum(x, -1);
  return ddMul(ddMul(p, m1), m2);
}

// log x for x >= 12 with a relative error near 2^-57, cheaper than the
// long-double log: x = 2^e m, m in [sqrt(1/2), sqrt(2)), and
// log x = e log 2 + log m, whose half ulp (relative also near m = 1) is small
// against e log 2.
long double logLarge(double x) {
  constexpr long double kLn2L = 0.693147180559945309417232121458176568L;
  uint64_t b;
  std::memcpy(&b, &x, sizeof b);                  // x is normal here
  int e = (int)(b >> 52) - 1023;
  b = (b & 0x000fffffffffffffULL) | 0x3ff0000000000000ULL;
  double m;
  std::memcpy(&m, &b, sizeof m);                  // [1, 2)
  if (m > 1.4142135623730951) { m *= 0.5; ++e; }
  return e * kLn2L + std::log(m);
}

// log Gamma(x) for 12 <= x <= 1e300 by Stirling's formula in long double:
// (x - 1/2) log x - x + log(2 pi)/2 + S(x); its terms reach 1.7 times
// the result, so log x needs the 2^-57.
double lnGammaStirling(double x) {
  constexpr long double kHalfLog2PiL = 0.918938533204672741780329736405617640L;
  double u = 1 / (x * x);
  const FitPiece &p = fitFind(kStirling, u);
  double s = fitHorner(p, u - p.c_hi) / x;   // S < 1/(12 x): a double suffices
  return (double)((x - 0.5L) * logLarge(x) - x + kHalfLog2PiL + s);
}

// The piece of kLgammaNegZeros holding x, or null.
const FitPiece *negZeroWindow(double x) {
  const FitPiece &p = fitFind(kLgammaNegZeros, x);
  return (x >= p.lo && x < p.hi) ? &p : nullptr;
}

} // namespace

double lnGamma(double x) {
  if (std::isnan(x)) return x;
  if (std::isinf(x) || x == 0 || isNegInteger(x)) return INFINITY;
  if (x > 0) {
    if (x < 0.5) {
      if (x < 0x1p-60) return -std::log(x);
      double y = 1 + x;                         // argument of the fit only
      DD p = fitEvalDD(fitFind(kLgammaNear, y), y);
      double l1 = (p.hi * x) * (x - 1);         // log Gamma(1 + x), small
      return l1 - std::log(x);
    }
    if (x < 3) return ddValue(lnGammaNear(x));
    if (x >= 12 && x <= 1e300) return lnGammaStirling(x);
    return (double)lnGammaPosL(x);
  }
  if (const FitPiece *w = negZeroWindow(x)) return fitEval(*w, x);
  if (x < -0x1p52) return INFINITY;             // every such double is a pole
  long double r = std::log(kPiL / std::fabs(sinPiL(x))) - std::log(-(long double)x) -
                  lnGammaPosL(-x);
  return (double)r;
}

} // namespace fathom
