// The beta function B(a, b) = Gamma(a) Gamma(b) / Gamma(a + b).
//
//   0 < a, b < 12           the gamma quotient in long double; Gamma(a + b)
//                           at the rounded sum s, corrected by
//                           (1 + psi(s) (a + b - s)) for the rounding
//   a, b > 0 otherwise      logarithms in long double with the Stirling
//                           remainders S: for a <= b,
//                           a < 8:  log Gamma(a) - (b - 1/2) log1p(a/b)
//                                   - a log(a + b) + a + S(b) - S(a + b)
//                           a >= 8: (a - 1/2) log(a/(a+b)) - (b - 1/2) log1p(a/b)
//                                   - log(a + b)/2 + log(2 pi)/2 + S(a) + S(b) - S(a+b)
//                           (every term is negative for a >= 8, so no
//                           cancellation)
//   other real a, b         the gamma quotient in long double (|a|, |b|, |a+b|
//                           below 1700); 0 when a + b is a pole and a, b are
//                           not; NaN at the poles of Gamma(a) or Gamma(b).
#include "fathom/special.h"
#include "fathom/sf_internal.h"

#include <cmath>

namespace fathom {
namespace {

using namespace sf;

constexpr long double kHalfLog2PiL = 0.918938533204672741780329736405617640L;

long double gammaOfSum(double a, double b) {
  DD s = twoSum(a, b);
  long double g = gammaL(s.hi);
  if (s.lo != 0) g *= 1 + (long double)digamma(s.hi) * s.lo;
  return g;
}

// log B(a, b) by logarithms and Stirling remainders.
long double lnBetaLarge(double a, double b) {
  if (a > b) { double t = a; a = b; b = t; }
  long double la = a, lb = b;
  long double r = std::log1p(la / lb);             // log((a + b)/b)
  long double lsum = std::log(lb) + r;             // log(a + b)
  double sum = a + b;
  long double lnb;
  if (a < 8) {
    lnb = lnGammaPosL(a) - (lb - 0.5L) * r - la * lsum + la + stirlingRestL(b) -
          stirlingRestL(sum);
  } else {
    lnb = (la - 0.5L) * (std::log(la / lb) - r) - (lb - 0.5L) * r - lsum / 2 + kHalfLog2PiL +
          stirlingRestL(a) + stirlingRestL(b) - stirlingRestL(sum);
  }
  return lnb;
}

} // namespace

namespace sf {

long double betaPosL(double a, double b) {
  if (a == INFINITY || b == INFINITY) return 0;
  // Stirling's Gamma(x), x >= 12, carries an error of 2^-64 x log x; the
  // logarithmic form keeps its terms near the size of the result.
  if (a >= 12 || b >= 12) return std::exp(lnBetaLarge(a, b));
  return gammaL(a) * gammaL(b) / gammaOfSum(a, b);   // tiny a or b too: B ~ 1/a + 1/b
}

long double lnBetaPosL(double a, double b) {
  if (a >= 12 || b >= 12) return lnBetaLarge(a, b);
  return std::log(gammaL(a) * gammaL(b) / gammaOfSum(a, b));
}

} // namespace sf

double beta(double a, double b) {
  if (std::isnan(a) || std::isnan(b)) return NAN;
  if (a > 0 && b > 0) return (double)betaPosL(a, b);
  if (std::isinf(a) || std::isinf(b)) return NAN;
  if (a == 0 || b == 0 || isNegInteger(a) || isNegInteger(b)) return NAN;
  if (isNegInteger(a + b) || a + b == 0) return 0;
  if (std::fabs(a) > 1700 || std::fabs(b) > 1700 || std::fabs(a + b) > 1700) return NAN;
  return (double)(gammaL(a) * gammaL(b) / gammaOfSum(a, b));
}

} // namespace fathom
