// The gamma function and factorial.
//
// Regimes (reduction x = n + t, n integer, |t| <= 0.5, t exact):
//   |x| < 0.5         Gamma(1 + x) / x, Gamma(1 + t) = P(t) (kGamma1p)
//   0.5 <= x < 12     Gamma(1 + t) (1 + t) (2 + t) ... (n - 1 + t) in
//                     double-double (every factor is exact)
//   x >= 12           Stirling: exp((x - 1/2) log x - x + log(2 pi)/2 + S(x))
//                     in long double, S = P(1/x^2)/x (kStirling), fit 2^-58
//   x <= -0.5         reflection pi / (sin(pi x) x Gamma(-x)) in long double
// The long-double result has a relative error near 2^-60, so the double
// result is within about 0.5 ulp + 2^-7 ulp.
#include "fathom/special.h"
#include "fathom/sf_fit_factorial.h"
#include "fathom/sf_fit_gamma.h"
#include "fathom/sf_internal.h"

#include <cmath>

namespace fathom {
namespace sf {
namespace {

constexpr long double kHalfLog2PiL = 0.918938533204672741780329736405617640L;

// Gamma(n + t) for 1 <= n < 12, |t| <= 0.5, n + t a double.
DD gammaProduct(int n, double t) {
  DD g = fitEvalDD(fitFind(kGamma1p, t), t);
  for (int j = 1; j < n; ++j) g = ddMul(g, j + t);
  return g;
}

// (x - 1/2) log x - x + log(2 pi)/2 + S(x), x >= 8.
long double stirlingL(double x) {
  double u = x < 1e150 ? 1 / (x * x) : 0;
  long double s = (long double)fitEval(kStirling, u) / x;
  return (x - 0.5L) * std::log((long double)x) - x + kHalfLog2PiL + s;
}

} // namespace

long double gammaL(double x) {
  if (std::fabs(x) < 0.5) {
    DD g = fitEvalDD(fitFind(kGamma1p, x), x);
    return ((long double)g.hi + g.lo) / x;
  }
  if (x >= 12) return std::exp(stirlingL(x));
  if (x > 0) {
    double n = std::floor(x + 0.5);
    DD g = gammaProduct((int)n, x - n);
    return (long double)g.hi + g.lo;
  }
  // x <= -0.5: Gamma(x) Gamma(1 - x) = pi / sin(pi x), Gamma(1 - x) = -x Gamma(-x).
  return kPiL / (sinPiL(x) * (-(long double)x) * gammaL(-x));
}

long double stirlingRestL(double x) {
  double u = x < 1e150 ? 1 / (x * x) : 0;
  return (long double)fitEval(kStirling, u) / x;
}

long double lnGammaPosL(double x) {
  if (x >= 12) return stirlingL(x);
  return std::log(gammaL(x));
}

} // namespace sf

double gamma(double x) {
  if (std::isnan(x)) return x;
  if (x == 0) return std::copysign(INFINITY, x);
  if (x == INFINITY) return x;
  if (x > 171.7) return INFINITY;
  if (x == -INFINITY || sf::isNegInteger(x)) return NAN;
  if (x < -190) return std::copysign(0.0, (double)sf::sinPiL(x));   // |Gamma| < 2^-1100
  return (double)sf::gammaL(x);
}

double factorial(double x) {
  if (std::isnan(x)) return x;
  if (x >= 0 && x <= 170 && x == std::nearbyint(x)) return sf::kFactorial[(int)x];
  if (x > 171) return INFINITY;
  if (x == -INFINITY || sf::isNegInteger(x)) return NAN;
  if (x >= -0.5 && x < 11) {                       // Gamma(1 + x) with exact factors
    double n = std::floor(x + 0.5);
    double t = x - n;
    sf::DD g = sf::gammaProduct((int)n + 1, t);
    return g.hi + g.lo;
  }
  if (x < -190) return gamma(x);                   // underflows the same way
  return (double)(x * sf::gammaL(x));
}

} // namespace fathom
