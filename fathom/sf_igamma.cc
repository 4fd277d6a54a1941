// Lower incomplete gamma function, non-regularised gamma(a, x) =
// int_0^x t^(a-1) e^-t dt, and regularised P(a, x) = gamma(a, x)/Gamma(a),
// for a > 0, x >= 0 (NaN otherwise).
//
//   x < a + 1   series x^a e^-x sum x^n / (a (a+1) ... (a+n))
//   x >= a + 1  gamma = Gamma(a) - Gamma(a, x), the upper function by its
//               continued fraction (modified Lentz), at most 100000 terms
// Everything is carried in long double, with the prefactor
// exp(a log x - x) (and - log Gamma(a) for P) formed in one exponent.
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

} // namespace

double gammaP(double a, double x) {
  if (badArgs(a, x)) return NAN;
  if (x == 0) return 0;
  if (x == INFINITY || a == INFINITY) return a == INFINITY && x != INFINITY ? 0 : 1;
  long double lpre = a * std::log((long double)x) - x - lnGammaPosL(a);
  if (x < a + 1) return (double)(std::exp(lpre) * lowerSeries(a, x));
  return (double)(1 - std::exp(lpre) * upperFraction(a, x) * x);
}

double gammaLower(double a, double x) {
  if (badArgs(a, x)) return NAN;
  if (x == 0) return 0;
  if (a == INFINITY) return x == INFINITY ? NAN : 0;
  if (x == INFINITY) return gamma(a);
  long double lpre = a * std::log((long double)x) - x;
  if (x < a + 1) return (double)(std::exp(lpre) * lowerSeries(a, x));
  long double upper = std::exp(lpre) * upperFraction(a, x) * x;
  long double g = a < 1700 ? gammaL(a) : std::exp(lnGammaPosL(a));
  if (std::isinf(g)) return INFINITY;     // x >= a + 1: gamma(a, x) > Gamma(a)/2 overflows too
  return (double)(g - upper);
}

} // namespace fathom
