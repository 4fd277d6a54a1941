// Lower incomplete gamma function, non-regularised gamma(a, x) =
// int_0^x t^(a-1) e^-t dt, and regularised P(a, x) = gamma(a, x)/Gamma(a),
// for a > 0, x >= 0 (NaN otherwise).
//
//   x < a + 1   series x^a e^-x sum x^n / (a (a+1) ... (a+n))
//   x >= a + 1  gamma = Gamma(a) - Gamma(a, x), the upper function by its
//               continued fraction (modified Lentz), at most 100000 terms
// Everything is carried in long double, with the prefactor
// exp(a log x - x) (and - log Gamma(a) for P) formed in one exponent; from
// a = 10 that exponent comes from Stirling's formula as
// a (log(x/a) - x/a + 1) + log(a/(2 pi))/2 - S(a), and
// gamma(a, x) = Gamma(a) P(a, x) below a = 171.
#include "fathom/special.h"
#include "fathom/sf_internal.h"

#include <cmath>

namespace fathom {
namespace {

using namespace sf;

constexpr long double kEpsL = 0x1p-64L;

// sum_n x^n / (a (a+1) ... (a+n))
long double lowerSeries(double a, double x) {
  long double sum = 1.0L / a, del = sum, ap = a;
  for (int n = 0; n < 1000000; ++n) {
    ap += 1;
    del *= x / ap;
    sum += del;
    if (std::fabs(del) < std::fabs(sum) * kEpsL) break;
  }
  return sum;
}

// Gamma(a, x) / (x^a e^-x) by its continued fraction.
long double upperFraction(double a, double x) {
  const long double tiny = 1e-4000L;
  long double b = x + 1.0L - a, c = 1 / tiny, d = 1 / b, h = d;
  for (int i = 1; i < 100000; ++i) {
    long double an = -i * (i - (long double)a);
    b += 2;
    d = an * d + b;
    if (std::fabs(d) < tiny) d = tiny;
    c = b + an / c;
    if (std::fabs(c) < tiny) c = tiny;
    d = 1 / d;
    long double del = d * c;
    h *= del;
    if (std::fabs(del - 1) < kEpsL) break;
  }
  return h / x;
}

bool badArgs(double a, double x) { return std::isnan(a) || std::isnan(x) || a <= 0 || x < 0; }

// log(x^a e^-x / Gamma(a)), the prefactor of P.  From a = 10 by Stirling's
// formula, a (log(x/a) - x/a + 1) + log(a / (2 pi))/2 - S(a):
// its terms stay near the size of the result, where a log x - x and
// log Gamma(a) would each carry an error of 2^-64 a log a.
long double lnPrefactorP(double a, double x) {
  constexpr long double kLog2PiL = 1.837877066409345483560659472811235280L;
  if (a < 10) return a * std::log((long double)x) - x - lnGammaPosL(a);
  return a * logRatioMinus(x, a) + (std::log((long double)a) - kLog2PiL) / 2 - stirlingRestL(a);
}

// P(a, x) in long double.
long double regularizedP(double a, double x) {
  long double pre = std::exp(lnPrefactorP(a, x));
  if (x < a + 1) return pre * lowerSeries(a, x);
  return 1 - pre * upperFraction(a, x) * x;
}

} // namespace

namespace sf {

long double logRatioMinus(long double x, long double c) {
  if (x < 0.75L * c || x > 1.25L * c) {
    long double r = x / c;
    return std::log(r) - (r - 1);
  }
  long double t = (x - c) / c;                      // x - c exact
  long double s = t / (2 + t), s2 = s * s, p = 0, sk = s * s2;
  for (int k = 3; k <= 27; k += 2, sk *= s2) p += sk / k;   // |s| < 1/7: s^27 < 2^-75
  return -t * t / (2 + t) + 2 * p;
}

} // namespace sf

double gammaP(double a, double x) {
  if (badArgs(a, x)) return NAN;
  if (x == 0) return 0;
  if (x == INFINITY || a == INFINITY) return a == INFINITY && x != INFINITY ? 0 : 1;
  return (double)regularizedP(a, x);
}

double gammaLower(double a, double x) {
  if (badArgs(a, x)) return NAN;
  if (x == 0) return 0;
  if (a == INFINITY) return x == INFINITY ? NAN : 0;
  if (x == INFINITY) return gamma(a);
  if (a >= 10 && a < 171) return (double)(gammaL(a) * regularizedP(a, x));
  long double lpre = a * std::log((long double)x) - x;
  if (x < a + 1) return (double)(std::exp(lpre) * lowerSeries(a, x));
  long double upper = std::exp(lpre) * upperFraction(a, x) * x;
  long double g = a < 1700 ? gammaL(a) : std::exp(lnGammaPosL(a));
  if (std::isinf(g)) return INFINITY;     // x >= a + 1: gamma(a, x) > Gamma(a)/2 overflows too
  return (double)(g - upper);
}

} // namespace fathom
